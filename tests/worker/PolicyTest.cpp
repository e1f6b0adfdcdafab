#include "Files.h"
#include "TestHome.h"
#include "shared/platform/FileFlags.h"
#include "shared/platform/FolderChain.h"
#include "worker/Policy.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A scope over the whole test home, on the home's real device.
DiskScope homeScope()
{
    return DiskScope(TestHome::path(), false, TestHome::path() + "/Data");
}

// The status of a plain file of this user, on the scope's device.
FileStatus fileOf(const DiskScope& scope, uint64_t links = 1, uint32_t flags = 0)
{
    FileStatus st;
    st.device = scope.device();
    st.mode = S_IFREG | 0644;
    st.nlink = links;
    st.uid = getuid();
    st.flags = flags;
    return st;
}

std::string_view modeOf(const DiskScope& scope, const std::string& relative, const FileStatus& st)
{
    const std::string path = TestHome::path() + "/" + relative;
    const std::string parent = path.substr(0, path.rfind('/'));
    Files::makeFolder(parent);
    const UniqueFd folder(open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return Worker::mode(scope, path, st, folder.get());
}

}

TEST(Policy, OrdinaryHomeFilesAreNormal)
{
    const DiskScope scope = homeScope();
    EXPECT_EQ(modeOf(scope, "Movies/film.mov", fileOf(scope)), "normal");
    EXPECT_EQ(modeOf(scope, "Movies/film.mov", fileOf(scope, 3)), "normal") << "links do not matter here";
}

TEST(Policy, LibraryFolders)
{
    const DiskScope scope = homeScope();
    EXPECT_EQ(modeOf(scope, "Library/Caches/big.bin", fileOf(scope)), "challenge");
    EXPECT_EQ(modeOf(scope, "Library/Logs/x/y.log", fileOf(scope)), "challenge");
    EXPECT_EQ(modeOf(scope, "Library/Caches/big.bin", fileOf(scope, 2)), "protected");
    EXPECT_EQ(modeOf(scope, "Library/Preferences/p.plist", fileOf(scope)), "protected");
    EXPECT_EQ(modeOf(scope, "Projects/Library/lib.a", fileOf(scope)), "protected");
    EXPECT_EQ(modeOf(scope, "Library/CachesOld/x", fileOf(scope)), "protected");
}

TEST(Policy, FlagsOwnershipKindAndNames)
{
    const DiskScope scope = homeScope();
    EXPECT_EQ(modeOf(scope, "a/locked", fileOf(scope, 1, FileFlags::userImmutable)), "challenge");
    EXPECT_EQ(modeOf(scope, "a/locked", fileOf(scope, 2, FileFlags::userImmutable)), "protected");
    for (uint32_t flag : {FileFlags::userAppend, FileFlags::systemImmutable, FileFlags::systemAppend, FileFlags::restricted})
        EXPECT_EQ(modeOf(scope, "a/flagged", fileOf(scope, 1, flag)), "protected") << flag;
    FileStatus foreign = fileOf(scope);
    foreign.uid = getuid() + 1;
    EXPECT_EQ(modeOf(scope, "a/theirs", foreign), "protected");
    FileStatus folder = fileOf(scope);
    folder.mode = S_IFDIR | 0755;
    EXPECT_EQ(modeOf(scope, "a/folder", folder), "protected");
    FileStatus elsewhere = fileOf(scope);
    elsewhere.device = scope.device() + 1;
    EXPECT_EQ(modeOf(scope, "a/mounted", elsewhere), "protected");
    EXPECT_EQ(modeOf(scope, ".config/x", fileOf(scope)), "protected");
    EXPECT_EQ(modeOf(scope, "Tool.app/x", fileOf(scope)), "protected");
    EXPECT_EQ(modeOf(scope, "Data/Reports/Disk scan.txt", fileOf(scope)), "protected");
}

TEST(Policy, FilesOutsideHomeNeedAuthentication)
{
    const std::string shared = "/tmp/tallyroom-policy-shared";
    Files::makeFolder(shared);
    const DiskScope scope(shared, false, TestHome::path() + "/Data");
    const UniqueFd folder(open(shared.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    FileStatus st = fileOf(scope);
    EXPECT_EQ(Worker::mode(scope, shared + "/big.iso", st, folder.get()), "challenge");
    st.nlink = 2;
    EXPECT_EQ(Worker::mode(scope, shared + "/big.iso", st, folder.get()), "protected");
    rmdir(shared.c_str());
}

// The folder that holds the file is judged on its descriptor, as the user the worker runs for,
// whatever the length of its path.
TEST(Policy, TheParentFolderIsJudgedOnItsDescriptorAtAnyDepth)
{
    if (getuid() != 0)
        GTEST_SKIP() << "needs root to judge the folders as another user";
    const uid_t user = 65534;
    const std::string base = TestHome::path() + "/deep-policy";
    const std::string relative = Files::makeDeep(base, std::string(200, 'p'), 25);
    ASSERT_GT(relative.size(), 4096u);
    ASSERT_EQ(std::system(("chown -R 65534 '" + base + "'").c_str()), 0);
    const DiskScope scope = homeScope();
    const std::string path = base + "/" + relative + "/big.iso";
    const UniqueFd parent(open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    UniqueFd bottom = FolderChain::open(parent.get(), relative);
    ASSERT_TRUE(bottom);

    // In a child, since the user cannot be changed back.
    const auto modeAsUser = [&](mode_t permissions) {
        fchmod(bottom.get(), permissions);
        const pid_t child = fork();
        if (child == 0) {
            if (setresuid(user, user, user) != 0)
                _exit(9);
            FileStatus st = fileOf(scope);
            st.uid = user;
            _exit(Worker::mode(scope, path, st, bottom.get()) == "normal" ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(modeAsUser(0755), 0) << "a folder of the user's own, past the path limit";
    EXPECT_EQ(modeAsUser(0555), 1) << "a folder the user cannot change";
    Files::removeDeep(base);
}

TEST(Policy, TheUsersCacheFolderHoldsCachedFiles)
{
    const DiskScope scope = homeScope();
    unsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(modeOf(scope, ".cache/pip/wheel.bin", fileOf(scope)), "challenge");
    EXPECT_EQ(modeOf(scope, ".cache/pip/wheel.bin", fileOf(scope, 2)), "protected");
    EXPECT_EQ(modeOf(scope, ".cache/.hidden/x", fileOf(scope)), "protected") << "hidden below the cache folder";
    EXPECT_EQ(modeOf(scope, ".config/app/x", fileOf(scope)), "protected");
    EXPECT_EQ(modeOf(scope, ".cacheOld/x", fileOf(scope)), "protected");

    setenv("XDG_CACHE_HOME", (TestHome::path() + "/Cache Here").c_str(), 1);
    EXPECT_EQ(modeOf(scope, "Cache Here/thumbnails/t.png", fileOf(scope)), "challenge");
    EXPECT_EQ(modeOf(scope, ".cache/pip/wheel.bin", fileOf(scope)), "protected") << "no longer the cache folder";

    setenv("XDG_CACHE_HOME", "relative/cache", 1);
    EXPECT_EQ(modeOf(scope, ".cache/pip/wheel.bin", fileOf(scope)), "challenge") << "a relative value is ignored";

    setenv("XDG_CACHE_HOME", "/var/tmp/outside-cache", 1);
    EXPECT_EQ(modeOf(scope, ".cache/pip/wheel.bin", fileOf(scope)), "protected");
    EXPECT_EQ(Worker::mode(scope, "/var/tmp/outside-cache/x.bin", fileOf(scope), AT_FDCWD), "protected")
        << "outside the scope nothing is deletable";
    unsetenv("XDG_CACHE_HOME");
}
