#include "Files.h"
#include "TempFolder.h"
#include "TestHome.h"
#include "shared/InstallSafety.h"
#include "shared/TrashProblem.h"
#include "shared/platform/BundleSeal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// A small sealed bundle in the test home.
std::string makeBundle(const std::string& path, const std::string& helper = "worker v1")
{
    Files::write(path + "/Contents/Info.plist", "<plist/>");
    Files::write(path + "/Contents/Helpers/delver", helper);
    chmod((path + "/Contents/Helpers/delver").c_str(), 0755);
    fs::create_symlink("Helpers/delver", path + "/Contents/worker-link");
    BundleSeal::write(path);
    return path;
}

std::string problemOf(const std::function<void()>& action)
{
    try {
        action();
        return "none";
    } catch (const TrashProblem& problem) {
        return problem.text();
    }
}

std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const std::string unverified = "This app could not be verified. Installation stopped.";

}

TEST(BundleSeal, ASealedBundleVerifiesAndAnyChangeBreaksIt)
{
    TempFolder folder;
    const std::string bundle = makeBundle(folder / "a.app");
    const std::string hash = InstallSafety::releaseHash(bundle);
    EXPECT_EQ(hash.size(), 32u);

    const auto tampered = [&](const std::function<void(const std::string&)>& change) {
        const std::string copy = folder / ("copy" + std::to_string(rand()) + ".app");
        fs::copy(bundle, copy, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        EXPECT_EQ(InstallSafety::releaseHash(copy), hash) << "an exact copy verifies";
        change(copy);
        return problemOf([&] { InstallSafety::releaseHash(copy); });
    };
    EXPECT_EQ(tampered([](const std::string& b) { Files::write(b + "/Contents/Helpers/delver", "worker v2"); }), unverified);
    EXPECT_EQ(tampered([](const std::string& b) { chmod((b + "/Contents/Helpers/delver").c_str(), 0777); }), unverified);
    EXPECT_EQ(tampered([](const std::string& b) { Files::write(b + "/Contents/extra", ""); }), unverified);
    EXPECT_EQ(tampered([](const std::string& b) { fs::remove(b + "/Contents/Info.plist"); }), unverified);
    EXPECT_EQ(tampered([](const std::string& b) {
                  fs::remove(b + "/Contents/worker-link");
                  fs::create_symlink("/etc/passwd", b + "/Contents/worker-link");
              }),
              unverified);
    EXPECT_EQ(problemOf([&] { InstallSafety::releaseHash(folder / "missing.app"); }), unverified);
}

TEST(Install, InstallsOnceAndNeverReplaces)
{
    const std::string home = TestHome::path();
    const std::string source = makeBundle(home + "/build/tallyroom.app");
    const std::string apps = home + "/Apps";
    Files::makeFolder(apps);

    const std::string installed = InstallSafety::install(source, apps, "1.2");
    EXPECT_EQ(installed, apps + "/tallyroom v1.2.app");
    EXPECT_EQ(InstallSafety::releaseHash(installed), InstallSafety::releaseHash(source));
    EXPECT_EQ(namesIn(apps), std::vector<std::string> {"tallyroom v1.2.app"}) << "no staging folder is left";

    const auto before = fs::last_write_time(installed + "/Contents/Helpers/delver");
    EXPECT_EQ(InstallSafety::install(source, apps, "1.2"), installed) << "already installed";
    EXPECT_EQ(fs::last_write_time(installed + "/Contents/Helpers/delver"), before);

    const std::string other = makeBundle(home + "/build2/tallyroom.app", "another build");
    EXPECT_EQ(problemOf([&] { InstallSafety::install(other, apps, "1.2"); }),
              "An existing item occupies " + installed + ". Nothing was replaced.");
    EXPECT_EQ(Files::read(installed + "/Contents/Helpers/delver"), "worker v1");

    Files::write(apps + "/tallyroom v2.0.app", "a file in the way");
    EXPECT_EQ(problemOf([&] { InstallSafety::install(source, apps, "2.0"); }),
              "An existing item occupies " + apps + "/tallyroom v2.0.app. Nothing was replaced.");
    EXPECT_EQ(namesIn(apps), (std::vector<std::string> {"tallyroom v1.2.app", "tallyroom v2.0.app"}));
    fs::remove_all(home + "/build");
    fs::remove_all(home + "/build2");
    fs::remove_all(apps);
}

TEST(Install, RefusalsLeaveNothingBehind)
{
    const std::string home = TestHome::path();
    const std::string source = makeBundle(home + "/src/tallyroom.app");
    EXPECT_EQ(problemOf([&] { InstallSafety::install(source, home + "/NotThere", "1"); }),
              "Choose an existing, writable installation folder.");
    EXPECT_EQ(problemOf([&] { InstallSafety::install(source, "/opt", "1"); }),
              "Choose Applications or an ordinary folder in your home folder for installation, and a personal folder for reports.");

    Files::write(source + "/Contents/unsealed", "x");
    Files::makeFolder(home + "/Apps2");
    EXPECT_EQ(problemOf([&] { InstallSafety::install(source, home + "/Apps2", "1"); }), unverified);
    EXPECT_TRUE(namesIn(home + "/Apps2").empty());

    fs::remove(source + "/Contents/unsealed");
    Files::makeFolder(home + "/Locked");
    ASSERT_EQ(std::system(("chattr +i '" + home + "/Locked'").c_str()), 0);
    EXPECT_EQ(problemOf([&] { InstallSafety::install(source, home + "/Locked", "1"); }),
              "Cannot create a private staging folder here.");
    std::system(("chattr -i '" + home + "/Locked'").c_str());
    EXPECT_TRUE(namesIn(home + "/Locked").empty());
    fs::remove_all(home + "/src");
}
