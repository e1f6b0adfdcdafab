// The folder walk in process: generated trees scanned with one thread and with eight give
// the same whole result, and that result is the one an independent walk of the tree expects.

#include "DelverHarness.h"
#include "shared/platform/UniqueFd.h"
#include "worker/DescriptorBudget.h"
#include "worker/Failure.h"
#include "worker/Scanner.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <mutex>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <tuple>

using namespace harness;

namespace {

using Ranked = std::tuple<std::string, int64_t, Stamp, std::string>;

struct Outcome {
    int64_t entries = 0;
    int64_t files = 0;
    int64_t errors = 0;
    std::vector<std::vector<Ranked>> groups;
    std::unordered_set<uint64_t> readFolders;
    std::vector<json> ticks;
};

std::vector<json> ticksIn(int fd)
{
    std::string text;
    char buffer[4096];
    lseek(fd, 0, SEEK_SET);
    for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, size_t(got));
    std::vector<json> ticks;
    for (const std::string& line : progressLines(text))
        ticks.push_back(json::parse(line));
    return ticks;
}

Outcome scanned(const DiskScope& scope, unsigned threads, std::function<void(std::string_view)> beforeOpen = {})
{
    const UniqueFd progress(memfd_create("ticks", MFD_CLOEXEC));
    ScanSettings settings;
    settings.threads = threads;
    settings.beforeOpen = std::move(beforeOpen);
    Scanner scanner(scope, progress.get(), settings);
    scanner.walk();
    Outcome outcome {scanner.entries(), scanner.files(), scanner.errors(), {}, scanner.readFolders(), ticksIn(progress.get())};
    for (size_t index = 0; index < Ranking::groupCount; ++index) {
        outcome.groups.emplace_back();
        for (const Ranking::Entry& entry : scanner.ranking().group(index))
            outcome.groups.back().emplace_back(entry.path, entry.size, entry.stamp, std::string(entry.policy));
    }
    return outcome;
}

void expectSame(const Outcome& one, const Outcome& many)
{
    EXPECT_EQ(one.entries, many.entries);
    EXPECT_EQ(one.files, many.files);
    EXPECT_EQ(one.errors, many.errors);
    EXPECT_EQ(one.groups, many.groups);
    EXPECT_EQ(one.readFolders, many.readFolders);
    ASSERT_FALSE(one.ticks.empty());
    ASSERT_FALSE(many.ticks.empty());
    EXPECT_EQ(one.ticks.front(), many.ticks.front()) << "the first line is written at the first entry";
    for (const Outcome* outcome : {&one, &many}) {
        int64_t entries = 0;
        for (const json& tick : outcome->ticks) {
            EXPECT_GT(tick.at("entries").get<int64_t>(), entries) << tick;
            entries = tick.at("entries");
            EXPECT_TRUE(entries == 1 || entries % 128 == 0) << tick;
            EXPECT_LE(tick.at("files").get<int64_t>(), entries) << tick;
        }
    }
}

// What the scan must find, by a plain walk that examines every path with lstat.
struct Expected {
    int64_t entries = 0;
    int64_t files = 0;
    std::vector<std::pair<int64_t, std::string>> largest;
};

const DiskScope* walkedScope = nullptr;
Expected* walkedExpected = nullptr;

int visit(const char* path, const struct stat* st, int, FTW*)
{
    const auto status = FileStatus::of(path);
    if (!status || path == walkedScope->root() || !walkedScope->allows(path, *status))
        return 0;
    ++walkedExpected->entries;
    if (S_ISREG(st->st_mode)) {
        ++walkedExpected->files;
        walkedExpected->largest.emplace_back(-st->st_size, path);
    }
    return 0;
}

Expected expectedFor(const DiskScope& scope)
{
    Expected expected;
    walkedScope = &scope;
    walkedExpected = &expected;
    EXPECT_EQ(nftw(scope.root().c_str(), visit, 64, FTW_PHYS | FTW_MOUNT), 0);
    std::sort(expected.largest.begin(), expected.largest.end());
    expected.largest.resize(std::min<size_t>(expected.largest.size(), Ranking::capacity));
    return expected;
}

void expectAsWalked(const Outcome& outcome, const DiskScope& scope)
{
    const Expected expected = expectedFor(scope);
    EXPECT_EQ(outcome.entries, expected.entries);
    EXPECT_EQ(outcome.files, expected.files);
    ASSERT_EQ(outcome.groups[0].size(), expected.largest.size());
    for (size_t i = 0; i < expected.largest.size(); ++i) {
        EXPECT_EQ(std::get<1>(outcome.groups[0][i]), -expected.largest[i].first);
        EXPECT_EQ(std::get<0>(outcome.groups[0][i]), expected.largest[i].second);
    }
}

void makeSized(const std::string& path, off_t size)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const UniqueFd fd(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    ASSERT_TRUE(fd) << path;
    ASSERT_EQ(ftruncate(fd.get(), size), 0);
}

// A case whose tree lives on a tmpfs of its own when mounting is allowed: quick to make,
// and gone with the mount.
struct MemoryCase : Case {
    MemoryCase()
    {
        if (mount("tmpfs", root.c_str(), "tmpfs", 0, "size=256m,nr_inodes=400k") == 0)
            mounts.push_back(root);
    }
    bool inMemory() const { return !mounts.empty(); }
};

// Wide folders, a deep branch, ties, media names, links of every kind, special files, hard
// links, names that are not UTF-8 and a cloud folder that stays out of the scope.
void makeMixedTree(const Case& c)
{
    for (int i = 0; i < 2500; ++i)
        makeSized(c.at("wide/w" + std::to_string(i) + (i % 7 ? ".dat" : ".mov")), (i % 37) * 100);
    for (int folder = 0; folder < 150; ++folder)
        for (int file = 0; file < 8; ++file)
            makeSized(c.at("many/sub" + std::to_string(folder) + "/f" + std::to_string(file) + ".mp3"), 777777);
    std::string deep = c.at("deep");
    for (int level = 0; level < 200; ++level) {
        deep += "/level" + std::to_string(level);
        makeSized(deep + "/side/s.bin", level);
        makeSized(deep + "/here.bin", 900000 + level % 3);
    }
    Files::makeFolder(c.at("empty/inner/most"));
    makeSized(c.at("links/target.bin"), 5000000);
    std::filesystem::create_hard_link(c.at("links/target.bin"), c.at("links/again.bin"));
    std::filesystem::create_hard_link(c.at("links/target.bin"), c.at("wide/third-name.bin"));
    std::filesystem::create_symlink(c.at("links/target.bin"), c.at("links/symbolic.bin"));
    std::filesystem::create_directory_symlink(c.at("many"), c.at("links/folder"));
    std::filesystem::create_symlink(c.at("nowhere"), c.at("links/dangling"));
    Files::makeFolder(c.at("special"));
    ASSERT_EQ(mkfifo(c.at("special/fifo").c_str(), 0644), 0);
    const int socketFd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const std::string socketPath = c.at("special/socket");
    if (socketPath.size() < sizeof address.sun_path) {
        std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
        EXPECT_EQ(bind(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    }
    close(socketFd);
    makeSized(c.at("odd/bad-\xff\xfe.mov"), 4000000);
    makeSized(c.at("odd/dir-\xc3\x28/inner.bin"), 3000000);
    makeSized(c.at("Library/CloudStorage/remote.bin"), 90000000);
    makeSized(c.at("Library/Mobile Documents/doc.bin"), 80000000);
}

}

TEST(ScanWalk, MixedTreeGivesTheSameWholeResultWithOneThreadAndWithEight)
{
    MemoryCase c;
    makeMixedTree(c);
    const DiskScope scope(c.root, false, c.data, true);
    const Outcome one = scanned(scope, 1);
    const Outcome many = scanned(scope, 8);
    expectSame(one, many);
    expectAsWalked(many, scope);
    EXPECT_EQ(many.errors, 0);

    const auto ranked = [&](const std::string& path) {
        for (const Ranked& entry : many.groups[0])
            if (std::get<0>(entry) == path)
                return true;
        return false;
    };
    EXPECT_TRUE(ranked(c.at("odd/bad-\xff\xfe.mov"))) << "the name keeps its exact bytes";
    EXPECT_TRUE(ranked(c.at("odd/dir-\xc3\x28/inner.bin")));
    for (const char* name : {"links/target.bin", "links/again.bin", "wide/third-name.bin"})
        EXPECT_TRUE(ranked(c.at(name))) << "every name of a hard-linked file ranks: " << name;
    EXPECT_FALSE(ranked(c.at("links/symbolic.bin")));
    EXPECT_FALSE(ranked(c.at("Library/CloudStorage/remote.bin"))) << "cloud folders are outside this scope";
    // Every folder that belongs to the scope was read once: the root and each counted folder.
    size_t folders = 1;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(c.root))
        if (entry.is_directory() && !entry.is_symlink() && !DiskScope::provider(entry.path().string()))
            ++folders;
    EXPECT_EQ(many.readFolders.size(), folders);
}

TEST(ScanWalk, FoldersThatVanishOrChangeBeforeTheyAreOpenedCountTheSameWithAnyThreads)
{
    Case c;
    Case elsewhere;
    makeSized(elsewhere.at("outside/huge.bin"), 99000000);
    makeSized(c.at("stays/a.bin"), 1000);
    const auto makeTree = [&] {
        for (const char* name : {"gone", "to-link", "to-file", "replaced"})
            std::filesystem::remove_all(c.at(name));
        std::filesystem::remove_all(c.base + "/replaced-away");
        for (const char* name : {"gone", "to-link", "to-file", "replaced"})
            for (int i = 0; i < 5; ++i)
                makeSized(c.at(std::string(name) + "/sub" + std::to_string(i) + "/x.bin"), 2000 + i);
        makeSized(c.base + "/swapped-in/other.bin", 98000000);
    };
    std::mutex lock;
    std::vector<std::string> changed;
    const auto change = [&](std::string_view folder) {
        const std::string path(folder);
        const std::string name = std::filesystem::path(path).filename().string();
        if (name == "gone") {
            std::filesystem::remove_all(path);
        } else if (name == "to-link") {
            std::filesystem::remove_all(path);
            std::filesystem::create_directory_symlink(elsewhere.at("outside"), path);
        } else if (name == "to-file") {
            std::filesystem::remove_all(path);
            makeSized(path, 97000000);
        } else if (name == "replaced") {
            std::filesystem::rename(path, c.base + "/replaced-away");
            std::filesystem::rename(c.base + "/swapped-in", path);
        } else {
            return;
        }
        std::lock_guard guard(lock);
        changed.push_back(name);
    };
    std::vector<Outcome> outcomes;
    for (unsigned threads : {1u, 8u}) {
        SCOPED_TRACE(threads);
        makeTree();
        changed.clear();
        const DiskScope scope(c.root, false, c.data, true);
        outcomes.push_back(scanned(scope, threads, change));
        const Outcome& outcome = outcomes.back();
        EXPECT_EQ(changed.size(), 4u);
        EXPECT_EQ(outcome.errors, 3) << "the vanished folder, the link and the file cannot be read as folders";
        EXPECT_EQ(outcome.files, 1) << "a folder replaced since it was examined is passed over";
        EXPECT_EQ(outcome.entries, 6);
        ASSERT_EQ(outcome.groups[0].size(), 1u);
        EXPECT_EQ(std::get<0>(outcome.groups[0][0]), c.at("stays/a.bin"));
        // Folders are new inodes in every round.
        outcomes.back().readFolders.clear();
    }
    expectSame(outcomes[0], outcomes[1]);
}

TEST(ScanWalk, ScopeReplacedWhileWalkingStopsEveryThread)
{
    for (unsigned threads : {1u, 8u}) {
        SCOPED_TRACE(threads);
        Case c;
        for (int i = 0; i < 40; ++i)
            makeSized(c.at("f" + std::to_string(i) + "/sub/x.bin"), 10);
        const DiskScope scope(c.root, false, c.data, true);
        std::once_flag once;
        const auto replaceRoot = [&](std::string_view folder) {
            if (folder.find("/f20") == std::string_view::npos)
                return;
            std::call_once(once, [&] {
                std::filesystem::rename(c.root, c.base + "/old-root");
                Files::makeFolder(c.root);
            });
        };
        try {
            scanned(scope, threads, replaceRoot);
            ADD_FAILURE() << "the walk went on after its root was replaced";
        } catch (const Failure& failure) {
            EXPECT_STREQ(failure.what(), "The selected disk was disconnected or replaced.");
        }
    }
}

TEST(ScanWalk, DeepCombReadsEveryFolderWithABoundedNumberOfDescriptors)
{
    MemoryCase c;
    if (!c.inMemory())
        GTEST_SKIP() << "needs a tmpfs to make and remove a tree thousands of folders deep";
    // Each level holds a file, the next level and a side folder read only after everything
    // deeper: four thousand folders, far more than may keep descriptors, wait at once.
    constexpr int depth = 4000;
    int folder = open(c.root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    for (int level = 1; level <= depth; ++level) {
        ASSERT_EQ(mkdirat(folder, "d", 0755), 0);
        ASSERT_EQ(mkdirat(folder, "side", 0755), 0);
        close(openat(folder, "f.bin", O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
        const int next = openat(folder, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        close(folder);
        ASSERT_GE(next, 0);
        folder = next;
    }
    close(folder);
    const DiskScope scope(c.root, false, c.data, true);
    const auto openDescriptors = [] {
        size_t count = 0;
        if (DIR* fds = opendir("/proc/self/fd")) {
            while (const dirent* entry = readdir(fds))
                count += entry->d_name[0] != '.';
            closedir(fds);
        }
        return count;
    };
    const size_t before = openDescriptors();
    std::vector<Outcome> outcomes;
    for (unsigned threads : {1u, 8u}) {
        std::atomic<size_t> most {0};
        std::atomic<size_t> seen {0};
        const auto sample = [&](std::string_view) {
            // Sampled, so that the test stays quick; the descriptors pile up, if they do, slowly.
            if (seen.fetch_add(1) % 16)
                return;
            const size_t now = openDescriptors();
            for (size_t old = most.load(); now > old && !most.compare_exchange_weak(old, now);) {
            }
        };
        outcomes.push_back(scanned(scope, threads, sample));
        EXPECT_EQ(outcomes.back().entries, 3 * depth);
        EXPECT_EQ(outcomes.back().files, depth);
        EXPECT_EQ(outcomes.back().errors, 0);
        EXPECT_EQ(outcomes.back().readFolders.size(), size_t(2 * depth + 1));
        EXPECT_LE(most.load(), before + 1 + DescriptorBudget::mostKept + threads * DescriptorBudget::perThread)
            << threads << " threads";
    }
    expectSame(outcomes[0], outcomes[1]);
}
