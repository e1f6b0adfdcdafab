// Removals in a folder shared with a second user, who moves entries about exactly between a
// check of the worker and its act; the worker runs as an ordinary user, the second user is
// another real account. Root is needed to make and be both; the tests skip otherwise.

#include "DelverHarness.h"
#include "shared/Problem.h"
#include "worker/Remove.h"
#include "worker/Seam.h"
#include "shared/Stamp.h"

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>

using namespace harness;

namespace {

struct Account {
    uid_t uid = 0;
    gid_t gid = 0;
};

std::optional<Account> account(const std::string& name, const std::string& groupName)
{
    const std::string make = "getent group " + groupName + " >/dev/null || groupadd " + groupName + "; id -u " + name
                             + " >/dev/null 2>&1 || useradd -M -N -g " + groupName + " -s /usr/sbin/nologin " + name;
    if (std::system(("(" + make + ") >/dev/null 2>&1").c_str()) != 0)
        return std::nullopt;
    const passwd* pw = getpwnam(name.c_str());
    const group* shared = getgrnam(groupName.c_str());
    // The shared group is made this account's own while the test is it, whatever else it is in.
    return pw && shared ? std::optional(Account {pw->pw_uid, shared->gr_gid}) : std::nullopt;
}

// Becomes the account for good (a child process only); `keepRoot` keeps root as the saved
// user, so that a change as someone else can still be made from here.
bool become(const Account& who, bool keepRoot)
{
    return setgroups(1, &who.gid) == 0 && setresgid(who.gid, who.gid, who.gid) == 0
           && setresuid(who.uid, who.uid, keepRoot ? 0 : who.uid) == 0;
}

// Runs `change` in a process of its own as `who`; true when it reported success.
bool as(const Account& who, const std::function<bool()>& change)
{
    const pid_t pid = fork();
    if (pid == 0)
        _exit(setresuid(0, 0, 0) == 0 && become(who, false) && change() ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The reason removeEntry gave, run as `victim` in a child process with `hook` at its seams.
std::string removalAs(const Account& victim, const std::string& raw, const Stamp& stamp,
                      const DiskScope& scope, std::function<void(std::string_view)> hook)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return "(no pipe)";
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        std::string reason;
        if (!become(victim, true))
            reason = "(cannot become the user)";
        Seam::hook = std::move(hook);
        try {
            if (reason.empty())
                Worker::removeEntry(raw, stamp, false, scope);
        } catch (const Problem& problem) {
            reason = problem.description();
        }
        const ssize_t wrote = write(pipeFds[1], reason.data(), reason.size());
        _exit(wrote == static_cast<ssize_t>(reason.size()) ? 0 : 1);
    }
    close(pipeFds[1]);
    std::string reason;
    char buffer[4096];
    for (ssize_t got; (got = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        reason.append(buffer, static_cast<size_t>(got));
    close(pipeFds[0]);
    waitpid(pid, nullptr, 0);
    return reason;
}

uint64_t inodeOf(const std::string& path)
{
    const auto st = FileStatus::of(path);
    return st ? st->inode : 0;
}

bool anywhereIn(const std::string& folder, uint64_t inode)
{
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (inodeOf(entry.path().string()) == inode)
            return true;
    return false;
}

std::string onlyRoom(const std::string& folder)
{
    for (const std::string& name : files(folder))
        if (name.starts_with(".tallyroom-removing-"))
            return folder + "/" + name;
    return "";
}

// A group folder (group-writable, not sticky) of the victim's, shared with the mate.
class SharedFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (getuid() != 0)
            GTEST_SKIP() << "making and being two users needs root";
        const auto v = account("tallyroom-victim", "tallyroom-shared");
        const auto m = account("tallyroom-folder-mate", "tallyroom-shared");
        if (!v || !m)
            GTEST_SKIP() << "useradd cannot make the two users here";
        victim = *v;
        mate = *m;
        shared = c.at("shared");
        Files::makeFolder(shared);
        for (const std::string& folder : {TestHome::path(), c.base, c.root})
            chmod(folder.c_str(), 0755);
        ASSERT_EQ(chown(shared.c_str(), victim.uid, victim.gid), 0);
        ASSERT_EQ(chmod(shared.c_str(), 02770), 0);
    }

    std::string file(const std::string& name, const Account& owner)
    {
        const std::string path = shared + "/" + name;
        Files::make(path, 300);
        EXPECT_EQ(chown(path.c_str(), owner.uid, owner.gid), 0);
        return path;
    }

    Case c;
    Account victim, mate;
    std::string shared;
    const DiskScope scope {c.root, false, c.data};
};

}

TEST_F(SharedFolder, MateExchangingTheReviewedFileBeforeTheMoveLosesNothing)
{
    const std::string reviewed = file("thesis.pdf", victim);
    const std::string his = file("his.txt", mate);
    const uint64_t reviewedInode = inodeOf(reviewed), hisInode = inodeOf(his);
    const auto stamp = Stamp::of(*FileStatus::of(reviewed));
    const std::string reason = removalAs(victim, reviewed, stamp, scope, [&](std::string_view point) {
        if (point == "removal.checked")
            as(mate, [&] { return renameat2(AT_FDCWD, reviewed.c_str(), AT_FDCWD, his.c_str(), RENAME_EXCHANGE) == 0; });
    });
    EXPECT_EQ(reason, "File changed since scan.");
    EXPECT_EQ(inodeOf(reviewed), hisInode) << "his file is back under the name it was found under";
    EXPECT_EQ(inodeOf(his), reviewedInode);
    EXPECT_EQ(onlyRoom(shared), "");
}

TEST_F(SharedFolder, MateCanNeitherEnterThePrivateFolderNorSwapItsName)
{
    const std::string reviewed = file("thesis.pdf", victim);
    const std::string decoy = shared + "/decoy";
    Files::makeFolder(decoy);
    ASSERT_EQ(chown(decoy.c_str(), mate.uid, mate.gid), 0);
    const std::string his = decoy + "/thesis.pdf";
    Files::make(his, 300);
    ASSERT_EQ(chown(his.c_str(), mate.uid, mate.gid), 0);
    const uint64_t hisInode = inodeOf(his), reviewedInode = inodeOf(reviewed);
    const auto stamp = Stamp::of(*FileStatus::of(reviewed));
    const std::string reason = removalAs(victim, reviewed, stamp, scope, [&](std::string_view point) {
        if (point != "removal.verified")
            return;
        const std::string room = onlyRoom(shared);
        // Into the private folder to exchange his file for the reviewed one, then its name.
        as(mate, [&] {
            return renameat2(AT_FDCWD, (room + "/thesis.pdf").c_str(), AT_FDCWD, his.c_str(), RENAME_EXCHANGE) == 0;
        });
        as(mate, [&] { return renameat2(AT_FDCWD, room.c_str(), AT_FDCWD, decoy.c_str(), RENAME_EXCHANGE) == 0; });
    });
    EXPECT_EQ(reason, "");
    EXPECT_FALSE(anywhereIn(shared, reviewedInode)) << "the reviewed file is removed";
    EXPECT_TRUE(anywhereIn(shared, hisInode)) << "his file is not";
    const auto atDecoy = FileStatus::of(decoy);
    EXPECT_TRUE(atDecoy && atDecoy->uid == victim.uid) << "the names were exchanged: the private folder is there now";
}

TEST_F(SharedFolder, PrivateFolderTakenOverBeforeItIsOpenedIsRefused)
{
    const std::string reviewed = file("thesis.pdf", victim);
    const uint64_t reviewedInode = inodeOf(reviewed);
    const auto stamp = Stamp::of(*FileStatus::of(reviewed));
    const std::string reason = removalAs(victim, reviewed, stamp, scope, [&](std::string_view point) {
        if (point != "private.made")
            return;
        const std::string room = onlyRoom(shared);
        as(mate, [&] { return rename(room.c_str(), (shared + "/moved").c_str()) == 0 && mkdir(room.c_str(), 0777) == 0; });
    });
    EXPECT_EQ(reason, "File changed or removal was denied. The folder made for the removal was replaced by another.");
    EXPECT_EQ(inodeOf(reviewed), reviewedInode);
}

TEST_F(SharedFolder, OwnProgramSwappingInsideThePrivateFolderIsNeverLoggedAsTheRemoval)
{
    const std::string reviewed = file("thesis.pdf", victim);
    const std::string other = file("notes.txt", victim);
    const uint64_t reviewedInode = inodeOf(reviewed);
    const auto stamp = Stamp::of(*FileStatus::of(reviewed));
    const std::string reason = removalAs(victim, reviewed, stamp, scope, [&](std::string_view point) {
        if (point == "removal.logged")
            renameat2(AT_FDCWD, (onlyRoom(shared) + "/thesis.pdf").c_str(), AT_FDCWD, other.c_str(), RENAME_EXCHANGE);
    });
    EXPECT_EQ(reason, "File changed or removal was denied. What was unlinked in its place was not the reviewed file. "
                      "The reviewed file is at " + other + ".");
    EXPECT_EQ(inodeOf(other), reviewedInode);
}

TEST_F(SharedFolder, FileWithAnotherNameIsPutBackNotHalfRemoved)
{
    const std::string reviewed = file("thesis.pdf", victim);
    ASSERT_EQ(link(reviewed.c_str(), (shared + "/second-name.pdf").c_str()), 0);
    const auto stamp = Stamp::of(*FileStatus::of(reviewed));
    EXPECT_EQ(removalAs(victim, reviewed, stamp, scope, nullptr),
              "The file has other names, so removing this one would not free it.");
    EXPECT_TRUE(Files::exists(reviewed));
    EXPECT_EQ(onlyRoom(shared), "");
}
