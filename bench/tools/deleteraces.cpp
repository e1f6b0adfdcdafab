// Drives `delver delete` on many reviewed files.
//
// deleteraces races DELVER ROOT DATA ROUNDS
//   Each round makes 200 reviewed files, each with an unreviewed look-alike of the same size
//   beside it, and deletes the reviewed ones while a second thread follows the deletion and
//   exchanges each next file with its look-alike, or moves the look-alike onto its name and
//   back, with no timing of its own. Prints the totals; the last line is the number of look-alikes that no longer
//   exist under any name (removed or lost).
// deleteraces time DELVER ROOT DATA FILES
//   Times one deletion of FILES reviewed files: prints its wall time and the CPU time (user and
//   system) of the worker, in seconds.
#include "shared/DiskScope.h"
#include "shared/Problem.h"
#include "shared/Wire.h"
#include "shared/platform/FileStatus.h"
#include "shared/platform/UniqueFd.h"
#include "shared/Stamp.h"

#include <nlohmann/json.hpp>

#include <atomic>
#include <csignal>
#include <grp.h>
#include <pwd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using nlohmann::json;

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs delver with the request file as its standard input; returns its result object.
json runDelver(const std::string& delver, const std::string& operation, const std::string& scope,
               const std::string& input, const std::string& output)
{
    const std::string command = "'" + delver + "' " + operation + " " + scope + " <'" + input + "' >'" + output + "'";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("delver " + operation + " failed");
    const std::string out = slurp(output);
    return json::parse(out.substr(out.rfind('\n') == std::string::npos ? 0 : out.rfind('\n') + 1));
}

void makeFile(const std::string& path)
{
    UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!fd || write(fd.get(), "x", 1) != 1)
        throw std::runtime_error("cannot create " + path);
}

json rowOf(const std::string& path)
{
    const auto st = FileStatus::of(path);
    if (!st)
        throw std::runtime_error("cannot examine " + path);
    return {{"raw", path}, {"signature", Stamp::of(*st).parts()}};
}

std::string scanReport(const std::string& delver, const std::string& scope, const std::string& work)
{
    std::ofstream(work + "/empty").flush();
    return runDelver(delver, "scan", scope, work + "/empty", work + "/scan.out").at("report");
}

std::string writeRequest(const std::string& work, const std::string& report, const json& rows)
{
    const std::string path = work + "/request.json";
    std::ofstream(path, std::ios::binary) << Wire::serialize(json {{"report", report}, {"rows", rows}});
    return path;
}

std::set<uint64_t> inodesIn(const std::string& folder, int& recovered)
{
    std::set<uint64_t> inodes;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().find("recovered") != std::string::npos)
            ++recovered;
        if (const auto st = FileStatus::of(entry.path().string()))
            inodes.insert(st->inode);
    }
    return inodes;
}

bool exists(int dir, const std::string& name)
{
    return faccessat(dir, name.c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0;
}

// Follows the deletion through the folder: as soon as one reviewed name is gone, the next
// reviewed file is exchanged with its look-alike (even rows), or moved aside while its
// look-alike takes its name and then everything is moved back (odd rows). Any change shows
// in the reviewed file's change time, so each pair is changed once, at a moment chosen only
// by how fast the two processes run.
void mutate(const std::string& folder, int rows, const std::atomic<bool>& stop)
{
    UniqueFd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    uint32_t noise = 12345;
    for (int i = 0; i < rows && !stop.load(std::memory_order_relaxed); ++i) {
        const std::string previous = i == 0 ? std::string() : "f-" + std::to_string(i - 1);
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::milliseconds(3);
        while (!previous.empty() && exists(dir.get(), previous) && !stop.load(std::memory_order_relaxed)
               && std::chrono::steady_clock::now() < give_up) {
        }
        noise = noise * 1103515245u + 12345u;
        for (volatile uint32_t spin = (noise >> 16) % 2000; spin > 0; spin = spin - 1) {
        }
        const std::string file = "f-" + std::to_string(i);
        const std::string look = "look-" + std::to_string(i);
        if (i % 2 == 0) {
            renameat2(dir.get(), file.c_str(), dir.get(), look.c_str(), RENAME_EXCHANGE);
            continue;
        }
        const std::string away = "away-" + std::to_string(i);
        renameat2(dir.get(), file.c_str(), dir.get(), away.c_str(), RENAME_NOREPLACE);
        renameat2(dir.get(), look.c_str(), dir.get(), file.c_str(), RENAME_NOREPLACE);
        renameat2(dir.get(), file.c_str(), dir.get(), look.c_str(), RENAME_NOREPLACE);
        renameat2(dir.get(), away.c_str(), dir.get(), file.c_str(), RENAME_NOREPLACE);
    }
}

int races(const std::string& delver, const std::string& root, const std::string& data, int rounds, int rows)
{
    const std::string scope = DiskScope(root, false, data).toBase64();
    const std::string work = data + "/../bench-work";
    std::filesystem::create_directories(work);
    const std::string report = scanReport(delver, scope, work);
    int64_t deleted = 0;
    int64_t skipped = 0;
    int recovered = 0;
    int missing = 0;
    for (int round = 0; round < rounds; ++round) {
        const std::string folder = root + "/round-" + std::to_string(round);
        std::filesystem::create_directories(folder);
        json request = json::array();
        std::vector<uint64_t> lookAlikes;
        for (int i = 0; i < rows; ++i) {
            makeFile(folder + "/f-" + std::to_string(i));
            makeFile(folder + "/look-" + std::to_string(i));
            request.push_back(rowOf(folder + "/f-" + std::to_string(i)));
            lookAlikes.push_back(FileStatus::of(folder + "/look-" + std::to_string(i))->inode);
        }
        const std::string input = writeRequest(work, report, request);
        std::atomic<bool> stop = false;
        std::thread mutator(mutate, folder, rows, std::cref(stop));
        const json info = runDelver(delver, "delete", scope, input, work + "/delete.out");
        stop = true;
        mutator.join();
        deleted += info.at("deleted").get<int64_t>();
        skipped += static_cast<int64_t>(info.at("messages").size()) - info.at("deleted").get<int64_t>();
        const std::set<uint64_t> present = inodesIn(folder, recovered);
        for (uint64_t inode : lookAlikes)
            missing += present.count(inode) ? 0 : 1;
        std::filesystem::remove_all(folder);
    }
    std::cout << rounds << " rounds of " << rows << " rows: " << deleted << " reviewed files deleted, " << skipped
              << " skipped as changed\n";
    std::cout << "entries left under a recovery name: " << recovered << "\n";
    std::cout << "unreviewed entries removed or lost:\n" << missing << "\n";
    return 0;
}


// The attacker of the exchange modes, in a process of its own (as `uid` when it is not 0):
// every private folder that appears in the folder has its name exchanged with a decoy folder
// that holds an unreviewed look-alike under every reviewed name, and, where it may enter the
// private folder, every entry moved in is exchanged with its look-alike.
[[noreturn]] void exchangeAttacker(const std::string& folder, uid_t uid, gid_t gid)
{
    if (uid != 0 && (setgroups(1, &gid) != 0 || setresgid(gid, gid, gid) != 0 || setresuid(uid, uid, uid) != 0))
        _exit(1);
    const int watch = inotify_init1(IN_CLOEXEC);
    const UniqueFd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int top = inotify_add_watch(watch, folder.c_str(), IN_CREATE | IN_ONLYDIR);
    std::vector<std::pair<int, UniqueFd>> rooms;
    alignas(inotify_event) char buffer[1 << 16];
    for (;;) {
        const ssize_t got = read(watch, buffer, sizeof buffer);
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const std::string name = event->len ? event->name : "";
            if (event->wd == top && name.rfind(".tallyroom-", 0) == 0) {
                const int inside = inotify_add_watch(watch, (folder + "/" + name).c_str(), IN_MOVED_TO);
                UniqueFd room(openat(dir.get(), name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
                renameat2(dir.get(), name.c_str(), dir.get(), "decoy", RENAME_EXCHANGE);
                if (inside >= 0)
                    rooms.emplace_back(inside, std::move(room));
                continue;
            }
            for (const auto& [wd, room] : rooms)
                if (wd == event->wd && name.rfind("f-", 0) == 0)
                    renameat2(room.get(), name.c_str(), dir.get(), ("look-" + name.substr(2)).c_str(), RENAME_EXCHANGE);
        }
    }
}

std::set<uint64_t> inodesBelow(const std::string& folder)
{
    std::set<uint64_t> inodes;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (const auto st = FileStatus::of(entry.path().string()))
            inodes.insert(st->inode);
    return inodes;
}

// The exchange modes: the attacker as this user ("same") or as a second user in a group folder
// ("other"). Prints the rows deleted and skipped, the false "Deleted:" lines (a reviewed file
// still on the disk) and, last, the unreviewed entries removed.
int exchanges(const std::string& delver, const std::string& root, const std::string& data, int rounds, int rows,
              bool otherUser)
{
    uid_t uid = 0;
    gid_t gid = 0;
    if (otherUser) {
        if (std::system("(getent group tallyroom-shared || groupadd tallyroom-shared; id -u tallyroom-folder-mate "
                        "|| useradd -M -N -g tallyroom-shared -s /usr/sbin/nologin tallyroom-folder-mate) >/dev/null 2>&1")
            != 0)
            throw std::runtime_error("cannot make the second user (needs root)");
        uid = getpwnam("tallyroom-folder-mate")->pw_uid;
        gid = getgrnam("tallyroom-shared")->gr_gid;
        // The second user must reach the group folder.
        for (std::filesystem::path p = root; p != p.parent_path(); p = p.parent_path()) {
            struct stat st {};
            if (stat(p.c_str(), &st) == 0)
                chmod(p.c_str(), (st.st_mode & 07777) | 0055);
        }
    }
    const std::string scope = DiskScope(root, false, data).toBase64();
    const std::string work = data + "/../bench-work";
    std::filesystem::create_directories(work);
    const std::string report = scanReport(delver, scope, work);
    int64_t deleted = 0, skipped = 0, falseDeleted = 0, unreviewedRemoved = 0;
    for (int round = 0; round < rounds; ++round) {
        const std::string folder = root + "/round-" + std::to_string(round);
        std::filesystem::create_directories(folder + "/decoy");
        for (int i = 0; i < rows; ++i)
            for (const std::string& name : {"/f-", "/look-", "/decoy/f-"})
                makeFile(folder + name + std::to_string(i));
        if (otherUser) {
            // The look-alikes and the decoy are the second user's; the reviewed files stay ours.
            chown(folder.c_str(), 0, gid);
            chmod(folder.c_str(), 02770);
            chown((folder + "/decoy").c_str(), uid, gid);
            for (int i = 0; i < rows; ++i)
                for (const std::string& name : {"/look-", "/decoy/f-"})
                    chown((folder + name + std::to_string(i)).c_str(), uid, gid);
        }
        json request = json::array();
        std::vector<uint64_t> reviewed, unreviewed;
        for (int i = 0; i < rows; ++i) {
            request.push_back(rowOf(folder + "/f-" + std::to_string(i)));
            reviewed.push_back(FileStatus::of(folder + "/f-" + std::to_string(i))->inode);
            unreviewed.push_back(FileStatus::of(folder + "/look-" + std::to_string(i))->inode);
            unreviewed.push_back(FileStatus::of(folder + "/decoy/f-" + std::to_string(i))->inode);
        }
        const std::string input = writeRequest(work, report, request);
        const pid_t attacker = fork();
        if (attacker == 0)
            exchangeAttacker(folder, uid, gid);
        usleep(20000);
        const json info = runDelver(delver, "delete", scope, input, work + "/delete.out");
        kill(attacker, SIGKILL);
        waitpid(attacker, nullptr, 0);
        deleted += info.at("deleted").get<int64_t>();
        skipped += rows - info.at("deleted").get<int64_t>();
        const std::set<uint64_t> present = inodesBelow(folder);
        std::map<std::string, uint64_t> reviewedAt;
        for (int i = 0; i < rows; ++i)
            reviewedAt[folder + "/f-" + std::to_string(i)] = reviewed[i];
        for (const json& message : info.at("messages")) {
            const std::string text = message.get<std::string>();
            if (text.rfind("Deleted: ", 0) == 0 && present.count(reviewedAt[text.substr(9)]))
                ++falseDeleted;
        }
        for (uint64_t inode : unreviewed)
            unreviewedRemoved += present.count(inode) ? 0 : 1;
        std::filesystem::remove_all(folder);
    }
    std::cout << rounds << " rounds of " << rows << " rows, attacker as " << (otherUser ? "a second user" : "this user")
              << ": " << deleted << " deleted, " << skipped << " skipped\n";
    std::cout << "false \"Deleted:\" lines: " << falseDeleted << "\n";
    std::cout << "unreviewed entries removed:\n" << unreviewedRemoved << "\n";
    return 0;
}

// User and system time of every child waited for so far.
double childCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int timeDeletion(const std::string& delver, const std::string& root, const std::string& data, int files)
{
    const std::string scope = DiskScope(root, false, data).toBase64();
    const std::string work = data + "/../bench-work";
    std::filesystem::create_directories(work);
    const std::string report = scanReport(delver, scope, work);
    const std::string folder = root + "/many";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "/a/b/c");
    json request = json::array();
    for (int i = 0; i < files; ++i) {
        const std::string path = folder + "/a/b/c/file-" + std::to_string(i);
        makeFile(path);
        request.push_back(rowOf(path));
    }
    const std::string input = writeRequest(work, report, request);
    const double cpuBefore = childCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    const json info = runDelver(delver, "delete", scope, input, work + "/delete.out");
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const double cpu = childCpuSeconds() - cpuBefore;
    if (info.at("deleted") != files)
        throw std::runtime_error("only " + info.at("deleted").dump() + " files deleted");
    std::filesystem::remove_all(folder);
    std::printf("%.4f %.4f\n", took.count(), cpu);
    return 0;
}

}

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::cerr << "usage: deleteraces races|time DELVER ROOT DATA ROUNDS|FILES\n";
        return 2;
    }
    try {
        const std::string mode = argv[1];
        if (mode == "races")
            return races(argv[2], argv[3], argv[4], std::atoi(argv[5]), 200);
        if (mode == "exchange-same" || mode == "exchange-other")
            return exchanges(argv[2], argv[3], argv[4], std::atoi(argv[5]), 200, mode == "exchange-other");
        if (mode == "time")
            return timeDeletion(argv[2], argv[3], argv[4], std::atoi(argv[5]));
    } catch (const Problem& problem) {
        std::cerr << problem.description() << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 1;
    }
    std::cerr << "unknown mode " << argv[1] << "\n";
    return 2;
}
