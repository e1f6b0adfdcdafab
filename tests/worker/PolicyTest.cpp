#include "Files.h"
#include "TestHome.h"
#include "shared/platform/FileFlags.h"
#include "worker/Policy.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
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
    Files::makeFolder(path.substr(0, path.rfind('/')));
    return Worker::mode(scope, path, st);
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
    FileStatus st = fileOf(scope);
    EXPECT_EQ(Worker::mode(scope, shared + "/big.iso", st), "challenge");
    st.nlink = 2;
    EXPECT_EQ(Worker::mode(scope, shared + "/big.iso", st), "protected");
    rmdir(shared.c_str());
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
    EXPECT_EQ(Worker::mode(scope, "/var/tmp/outside-cache/x.bin", fileOf(scope)), "protected")
        << "outside the scope nothing is deletable";
    unsetenv("XDG_CACHE_HOME");
}
