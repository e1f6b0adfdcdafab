#include "Files.h"
#include "OtherUser.h"
#include "TempFolder.h"
#include "TestHome.h"
#include "shared/InstallSafety.h"
#include "shared/TrashProblem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* placement
    = "Choose Applications or an ordinary folder in your home folder for installation, and a personal folder for reports.";
const char* occupied = "A file, link, or package occupies this location. Setup stopped.";
const char* insidePackage = "This location is inside a software package. Choose an ordinary folder.";

std::string refusal(const std::string& path, bool forData)
{
    try {
        InstallSafety::validate(path, forData);
        return "accepted";
    } catch (const TrashProblem& problem) {
        return problem.text();
    }
}

std::string directoryRefusal(const std::string& path)
{
    try {
        InstallSafety::checkDirectories(path);
        return "accepted";
    } catch (const TrashProblem& problem) {
        return problem.text();
    }
}

}

TEST(InstallSafety, HomeAndDefaultDataFollowHome)
{
    EXPECT_EQ(InstallSafety::home(), TestHome::path());
    EXPECT_EQ(InstallSafety::defaultData(), TestHome::path() + "/Library/Application Support/tallyroom");
}

TEST(InstallSafety, PlacementOfDataAndInstallationFolders)
{
    const std::string home = InstallSafety::home();
    EXPECT_EQ(refusal(InstallSafety::defaultData(), true), "accepted");
    EXPECT_EQ(refusal(home + "/Reports here", true), "accepted");
    EXPECT_EQ(refusal(home + "/Library/Other", true), placement);
    EXPECT_EQ(refusal(home + "/library/Other", true), placement) << "Library compares case-insensitively";
    EXPECT_EQ(refusal(home, true), placement);
    EXPECT_EQ(refusal(home, false), "accepted");
    EXPECT_EQ(refusal(home + "/Applications", false), "accepted");
    EXPECT_EQ(refusal("/Applications", false), "accepted");
    EXPECT_EQ(refusal("/Applications", true), placement);
    EXPECT_EQ(refusal("/opt", false), placement);
    EXPECT_EQ(refusal(home + "x/apps", false), placement) << "a sibling sharing the home prefix";
    EXPECT_EQ(refusal(home + "/.hidden/data", true), placement);
    EXPECT_EQ(refusal(home + "/Library/CloudStorage/Drive/data", false), placement);
    EXPECT_EQ(refusal(home + "/Data/Library/CloudStorage/x", true), "Choose a local folder for installation and app data.");
}

TEST(InstallSafety, CheckDirectoriesRefusesPackagesFilesAndLinks)
{
    TempFolder tree;
    Files::makeFolder(tree / "plain/deeper");
    EXPECT_EQ(directoryRefusal(tree / "plain/deeper/missing/more"), "accepted");
    EXPECT_EQ(directoryRefusal(tree / "plain/Tool.APP/inside"), insidePackage) << "even before it exists";
    Files::make(tree / "plain/file");
    EXPECT_EQ(directoryRefusal(tree / "plain/file/below"), occupied);
    std::filesystem::create_directory_symlink(tree / "plain", tree / "link");
    EXPECT_EQ(directoryRefusal(tree / "link/deeper"), occupied);
    EXPECT_EQ(directoryRefusal(tree / "link"), occupied);
}

TEST(InstallSafety, ValidateRunsTheDirectoryChecks)
{
    const std::string home = InstallSafety::home();
    Files::makeFolder(home + "/real");
    std::filesystem::create_directory_symlink(home + "/real", home + "/alias");
    EXPECT_EQ(refusal(home + "/alias/data", true), occupied);
    EXPECT_EQ(refusal(home + "/Stuff.photoslibrary/data", true), insidePackage);
    std::filesystem::remove(home + "/alias");
}

TEST(InstallSafety, TheDataFolderAndWhatItHoldsAreTheUsersOwn)
{
    const std::string data = InstallSafety::home() + "/Personal data";
    const auto refused = [](const std::string& what) {
        return what + " belongs to another user or others can change it. Choose a personal folder for app data.";
    };
    Files::makeFolder(data + "/Reports");
    Files::makeFolder(data + "/Saved Views");
    ASSERT_EQ(chmod(data.c_str(), 0755), 0);
    EXPECT_EQ(refusal(data, true), "accepted") << "others may read, not write";
    ASSERT_EQ(chmod(data.c_str(), 0770), 0);
    EXPECT_EQ(refusal(data, true), refused("The data folder"));
    EXPECT_EQ(refusal(data, false), "accepted") << "only the data folder is held to this";
    ASSERT_EQ(chmod(data.c_str(), 0700), 0);
    ASSERT_EQ(chmod((data + "/Reports").c_str(), 0777), 0);
    EXPECT_EQ(refusal(data, true), refused("The data folder’s Reports folder"));
    ASSERT_EQ(chmod((data + "/Reports").c_str(), 0700), 0);
    ASSERT_EQ(chmod((data + "/Saved Views").c_str(), 0722), 0);
    EXPECT_EQ(refusal(data, true), refused("The data folder’s Saved Views folder"));
    std::filesystem::remove_all(data);
}

TEST(InstallSafety, ReportsMadeByAnotherUserAreRefused)
{
    std::string why;
    const auto mate = OtherUser::make("tallyroom-mate", why);
    if (!mate)
        GTEST_SKIP() << why;
    // The second user shares a group-writable data folder and makes its Reports his own.
    const std::string data = InstallSafety::home() + "/Shared data";
    Files::makeFolder(data);
    ASSERT_EQ(chown(data.c_str(), getuid(), mate->gid()), 0);
    ASSERT_EQ(chmod(data.c_str(), 0770), 0);
    ASSERT_EQ(chmod(InstallSafety::home().c_str(), 0711), 0);
    EXPECT_EQ(mate->run([&] { return std::to_string(mkdir((data + "/Reports").c_str(), 0755)); }), "0");
    ASSERT_EQ(chmod(data.c_str(), 0700), 0);
    EXPECT_EQ(refusal(data, true),
              "The data folder’s Reports folder belongs to another user or others can change it. Choose a personal folder "
              "for app data.");
    ASSERT_EQ(chmod(InstallSafety::home().c_str(), 0700), 0);
    std::filesystem::remove_all(data);
}
