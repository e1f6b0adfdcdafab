#include "Files.h"
#include "TempFolder.h"
#include "shared/platform/FileFlags.h"
#include "shared/platform/FileStatus.h"
#include "shared/platform/UniqueFd.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

// The lock the delete operation lifts and restores goes through FileFlags::set; on Linux only
// the system flags exist, so those are what can be exercised here.
TEST(FileFlags, SetsAndLiftsTheSystemLockAndRefusesFlagsLinuxLacks)
{
    TempFolder folder;
    const std::string path = folder / "locked";
    Files::make(path, 10);
    const UniqueFd file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    ASSERT_TRUE(file);

    ASSERT_TRUE(FileFlags::set(file.get(), FileFlags::systemImmutable));
    EXPECT_EQ(FileStatus::of(path)->flags & FileFlags::systemImmutable, FileFlags::systemImmutable);
    EXPECT_NE(unlink(path.c_str()), 0) << "a locked file cannot be removed";

    EXPECT_FALSE(FileFlags::set(file.get(), FileFlags::userImmutable)) << "no user lock on Linux";
    EXPECT_EQ(FileStatus::of(path)->flags & FileFlags::systemImmutable, FileFlags::systemImmutable)
        << "a refused change changes nothing";

    ASSERT_TRUE(FileFlags::set(file.get(), 0));
    EXPECT_EQ(FileStatus::of(path)->flags, 0u);
    EXPECT_EQ(unlink(path.c_str()), 0);
}
