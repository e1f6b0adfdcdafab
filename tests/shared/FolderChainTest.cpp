// The descriptor chain: no link, no "..", and on request no other mount on the way.

#include "Files.h"
#include "TempFolder.h"
#include "shared/platform/FileStatus.h"
#include "shared/platform/FolderChain.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/mount.h>

namespace {

UniqueFd openFolder(const std::string& path)
{
    return UniqueFd(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

uint64_t inodeOf(int fd)
{
    return FileStatus::ofDescriptor(fd)->inode;
}

}

TEST(FolderChain, NeverFollowsALinkOrClimbsOut)
{
    TempFolder t;
    Files::makeFolder(t / "a/b/c");
    std::filesystem::create_directory_symlink(t / "a/b", t / "a/link");
    const UniqueFd top = openFolder(t.path());

    const UniqueFd reached = FolderChain::open(top.get(), "a/b/c");
    ASSERT_TRUE(reached);
    EXPECT_EQ(inodeOf(reached.get()), FileStatus::of(t / "a/b/c")->inode);
    EXPECT_EQ(inodeOf(FolderChain::open(top.get(), "").get()), inodeOf(top.get()));
    EXPECT_FALSE(FolderChain::open(top.get(), "a/link/c"));
    EXPECT_EQ(errno, ELOOP);
    EXPECT_FALSE(FolderChain::open(top.get(), "a/link"));
    EXPECT_FALSE(FolderChain::open(top.get(), "a/b/../b"));
    EXPECT_FALSE(FolderChain::open(top.get(), "a/b/c/../../.."));
    EXPECT_FALSE(FolderChain::open(top.get(), t.path()));
    EXPECT_FALSE(FolderChain::open(top.get(), std::string("a\0/b", 4)));

    EXPECT_EQ(inodeOf(FolderChain::openAbsolute(t / "a/b/c").get()), inodeOf(reached.get()));
    EXPECT_EQ(inodeOf(FolderChain::openAbsolute("/").get()), FileStatus::of("/")->inode);
    EXPECT_FALSE(FolderChain::openAbsolute(t / "a/link/c"));
    EXPECT_FALSE(FolderChain::openAbsolute("a/b")) << "only absolute paths";
    EXPECT_EQ(errno, EINVAL);

    const UniqueFd a = FolderChain::open(top.get(), "a");
    EXPECT_EQ(inodeOf(FolderChain::openChild(a.get(), "b").get()), FileStatus::of(t / "a/b")->inode);
    EXPECT_FALSE(FolderChain::openChild(a.get(), "link"));
    EXPECT_FALSE(FolderChain::openChild(a.get(), ".."));
}

TEST(FolderChain, StaysOnItsMountWhenAsked)
{
    TempFolder t;
    Files::makeFolder(t / "outside/deep");
    Files::makeFolder(t / "inside/mnt");
    if (mount((t / "outside").c_str(), (t / "inside/mnt").c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "bind mounts are not allowed here: " << std::strerror(errno);
    const UniqueFd top = openFolder(t / "inside");
    EXPECT_TRUE(FolderChain::open(top.get(), "mnt/deep")) << "mounts may be crossed on the way to a root";
    EXPECT_FALSE(FolderChain::openOnMount(top.get(), "mnt/deep"));
    EXPECT_EQ(errno, EXDEV);
    EXPECT_FALSE(FolderChain::openOnMount(top.get(), "mnt"));
    EXPECT_TRUE(FolderChain::openOnMount(top.get(), ""));
    EXPECT_FALSE(FolderChain::openChild(top.get(), "mnt"));
    EXPECT_EQ(errno, EXDEV);
    umount2((t / "inside/mnt").c_str(), MNT_DETACH);
}

TEST(FolderChain, ReachesFoldersDeeperThanThePathLimit)
{
    TempFolder t;
    const std::string name(200, 'd');
    const std::string relative = Files::makeDeep(t.path(), name, 30);
    ASSERT_GT(relative.size(), size_t(PATH_MAX));
    // The bottom folder's inode, found one level at a time.
    UniqueFd walked = openFolder(t.path());
    for (int level = 0; level < 30; ++level)
        walked = FolderChain::openChild(walked.get(), name.c_str());
    ASSERT_TRUE(walked);
    const UniqueFd top = openFolder(t.path());

    EXPECT_EQ(inodeOf(FolderChain::open(top.get(), relative).get()), inodeOf(walked.get()));
    EXPECT_EQ(inodeOf(FolderChain::openOnMount(top.get(), relative).get()), inodeOf(walked.get()));
    EXPECT_EQ(inodeOf(FolderChain::openAbsolute(t / relative).get()), inodeOf(walked.get()));

    // A link far down, past the first step, is still never followed.
    const std::string upper = relative.substr(0, 25 * (name.size() + 1) - 1);
    const UniqueFd linkFolder = FolderChain::open(top.get(), upper);
    ASSERT_EQ(renameat(linkFolder.get(), name.c_str(), linkFolder.get(), "moved"), 0);
    ASSERT_EQ(symlinkat("moved", linkFolder.get(), name.c_str()), 0);
    EXPECT_FALSE(FolderChain::open(top.get(), relative));
    EXPECT_EQ(errno, ELOOP);
    Files::removeDeep(t / name);
}
