#include "FakeAuthenticator.h"
#include "Files.h"
#include "TestHome.h"
#include "app/session/Preferences.h"
#include "app/session/SessionDisk.h"
#include "app/session/SettingsFile.h"
#include "app/setup/DiskSetup.h"
#include "app/shell/TallyroomApp.h"
#include "shared/platform/FileStatus.h"

#include <gtest/gtest.h>

#include <QSettings>

#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The file QSettings itself would use: the format and the place are kept.
std::string settingsFile()
{
    return Preferences::settingsPath().toStdString();
}

std::string settingsFolder()
{
    return fs::path(settingsFile()).parent_path();
}

std::vector<fs::path> setAside()
{
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(settingsFolder()))
        if (entry.path().filename().string().find(".set-aside-") != std::string::npos)
            found.push_back(entry.path());
    return found;
}

struct Oddity {
    const char* name;
    const char* notice;
    std::function<void(const std::string&)> make;
};

const std::vector<Oddity>& oddities()
{
    static const std::vector<Oddity> all = {
        {"pipe", "was not a regular file", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }},
        {"link", "was a symbolic link",
         [](const std::string& path) {
             Files::write(TestHome::path() + "/elsewhere.conf", "[General]\nincludeCloud=true\n");
             fs::create_symlink(TestHome::path() + "/elsewhere.conf", path);
         }},
        {"folder", "was a folder", [](const std::string& path) { Files::makeFolder(path + "/inside"); }},
        {"oversized file", "was larger than 256 KB",
         [](const std::string& path) {
             Files::write(path, "[General]\nincludeCloud=true\n" + std::string(SettingsFile::largest, '#'));
         }},
    };
    return all;
}

class PreferencesFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::remove_all(settingsFolder());
        Files::makeFolder(settingsFolder());
        Preferences::takeNotice();
    }
    void TearDown() override
    {
        fs::remove_all(settingsFolder());
        fs::remove(TestHome::path() + "/elsewhere.conf");
    }
};

}

TEST_F(PreferencesFile, IsTheFileQSettingsUsesInItsFormat)
{
    EXPECT_EQ(Preferences::settingsPath(), QSettings().fileName());
    const std::string root = TestHome::path() + "/settings-disk";
    Files::makeFolder(root);
    Preferences::rememberSession(DiskScope(root, true, TestHome::path() + "/My Data"), "/home/u/Applications");
    EXPECT_EQ(QSettings().value("storagePath").toString().toStdString(), TestHome::path() + "/My Data");
    EXPECT_TRUE(QSettings().value("includeCloud").toBool());
    const auto status = FileStatus::of(settingsFile());
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->isRegular());
    EXPECT_EQ(status->mode & 0077, 0u) << "private";
    EXPECT_FALSE(Preferences::takeNotice());
}

TEST_F(PreferencesFile, AnythingButARegularFileIsSetAsideAndTheDefaultsAreUsed)
{
    const std::string root = TestHome::path() + "/settings-disk";
    Files::makeFolder(root);
    for (const Oddity& oddity : oddities()) {
        SCOPED_TRACE(oddity.name);
        SetUp();
        oddity.make(settingsFile());
        EXPECT_FALSE(Preferences::includeCloud()) << "never read through a link, a pipe or an oversized file";
        EXPECT_EQ(Preferences::storagePath(), SessionDisk::defaultData());
        const auto notice = Preferences::takeNotice();
        ASSERT_TRUE(notice);
        EXPECT_NE(notice->indexOf(QString::fromUtf8(oddity.notice)), -1) << notice->toStdString();
        const auto aside = setAside();
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_NE(notice->indexOf(QString::fromStdString(aside[0].filename().string())), -1) << "says where it went";

        Preferences::rememberSession(DiskScope(root, false, TestHome::path() + "/My Data"), "/home/u/Applications");
        const auto written = FileStatus::of(settingsFile());
        ASSERT_TRUE(written);
        EXPECT_TRUE(written->isRegular());
        EXPECT_EQ(Preferences::storagePath().toStdString(), TestHome::path() + "/My Data");
        EXPECT_FALSE(Preferences::takeNotice());
    }
    EXPECT_EQ(Files::read(TestHome::path() + "/elsewhere.conf"), "[General]\nincludeCloud=true\n")
        << "a link's target is never written";
}

TEST_F(PreferencesFile, AnotherUsersFileIsSetAside)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "giving the settings file to another user needs root";
    Files::write(settingsFile(), "[General]\nincludeCloud=true\n");
    ASSERT_EQ(chown(settingsFile().c_str(), 65534, 65534), 0);
    EXPECT_FALSE(Preferences::includeCloud());
    const auto notice = Preferences::takeNotice();
    ASSERT_TRUE(notice);
    EXPECT_NE(notice->indexOf("was another user’s file"), -1) << notice->toStdString();
    EXPECT_EQ(setAside().size(), 1u);
}

TEST_F(PreferencesFile, SetupStartsWithTheDefaultsAndSaysWhatWasSetAside)
{
    ASSERT_EQ(mkfifo(settingsFile().c_str(), 0600), 0);
    FakeAuthenticator authenticator;
    TallyroomApp app(authenticator, DELVER);
    app.launch({"tallyroom"});
    const auto* setup = app.window("main")->findChild<DiskSetup*>();
    ASSERT_NE(setup, nullptr);
    EXPECT_NE(setup->error().indexOf("was not a regular file, so it was set aside as"), -1) << setup->error().toStdString();
    EXPECT_NE(setup->error().indexOf(QString::fromStdString(settingsFile())), -1) << setup->error().toStdString();
    EXPECT_FALSE(setup->target()) << "the defaults";
}
