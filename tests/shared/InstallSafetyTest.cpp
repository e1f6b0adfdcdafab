#include "Files.h"
#include "TempFolder.h"
#include "TestHome.h"
#include "shared/InstallSafety.h"
#include "shared/TrashProblem.h"

#include <gtest/gtest.h>

#include <filesystem>

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
