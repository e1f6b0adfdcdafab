#include "Files.h"
#include "TestHome.h"
#include "app/platform/DesktopIntegration.h"
#include "app/session/Preferences.h"
#include "app/setup/AppInstaller.h"
#include "shared/InstallSafety.h"
#include "shared/Problem.h"
#include "shared/platform/BundleSeal.h"

#include <gtest/gtest.h>

#include <QSettings>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class RecordingDesktop : public DesktopIntegration {
public:
    void registerCopy(const QString& bundle) override
    {
        registered.append(bundle);
        if (refuse)
            throw Problem("refused");
    }
    QStringList registered;
    bool refuse = false;
};

std::string sealedBundle(const std::string& path, const std::string& version)
{
    Files::write(path + "/Contents/Info.plist",
                 "<plist><dict><key>CFBundleShortVersionString</key><string>" + version + "</string></dict></plist>");
    Files::write(path + "/Contents/MacOS/tallyroom", "app");
    chmod((path + "/Contents/MacOS/tallyroom").c_str(), 0755);
    BundleSeal::write(path);
    return path;
}

unsigned modeOf(const std::string& path)
{
    struct stat st {};
    lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

}

TEST(AppInstaller, TheDefaultFolderIsApplicationsInHomeAndIsCreatedWhenMissing)
{
    QSettings().clear();
    const std::string applications = TestHome::path() + "/Applications";
    EXPECT_EQ(Preferences::defaultInstallFolder().toStdString(), applications);
    EXPECT_EQ(Preferences::installFolder(), Preferences::defaultInstallFolder()) << "what setup starts with";
    fs::remove_all(applications);
    const std::string source = sealedBundle(TestHome::path() + "/build-a/tallyroom.app", "1.4");

    RecordingDesktop desktop;
    const mode_t previousMask = umask(077);
    const QString installed = AppInstaller::install(QString::fromStdString(source), Preferences::defaultInstallFolder(), desktop);
    umask(previousMask);
    EXPECT_EQ(installed.toStdString(), applications + "/tallyroom v1.4.app");
    EXPECT_EQ(modeOf(applications), 0755u) << "readable by all, whatever the umask";
    EXPECT_EQ(InstallSafety::releaseHash(installed.toStdString()), InstallSafety::releaseHash(source));
    EXPECT_EQ(desktop.registered, QStringList {installed}) << "the installed copy, not the source";

    // Running setup again from the installed copy registers it again, so a removed entry comes back.
    EXPECT_EQ(AppInstaller::install(installed, Preferences::defaultInstallFolder(), desktop), installed);
    EXPECT_EQ(desktop.registered, (QStringList {installed, installed}));
    fs::remove_all(applications);
    fs::remove_all(TestHome::path() + "/build-a");
}

TEST(AppInstaller, OnlyTheDefaultFolderIsCreatedAndNothingOccupyingItIsTouched)
{
    const std::string source = sealedBundle(TestHome::path() + "/build-b/tallyroom.app", "1.5");
    RecordingDesktop desktop;
    const QString chosen = QString::fromStdString(TestHome::path() + "/Elsewhere");
    try {
        AppInstaller::install(QString::fromStdString(source), chosen, desktop);
        ADD_FAILURE() << "installed into a missing folder";
    } catch (const Problem& problem) {
        EXPECT_EQ(problem.description(), "Choose an existing, writable installation folder.");
    }
    EXPECT_FALSE(Files::exists(chosen.toStdString())) << "a folder the user chose must exist";

    const std::string applications = TestHome::path() + "/Applications";
    fs::remove_all(applications);
    Files::write(applications, "a file of the user's");
    try {
        AppInstaller::install(QString::fromStdString(source), Preferences::defaultInstallFolder(), desktop);
        ADD_FAILURE() << "installed over a file";
    } catch (const Problem& problem) {
        EXPECT_EQ(problem.description(), "A file, link, or package occupies this location. Setup stopped.");
    }
    EXPECT_EQ(Files::read(applications), "a file of the user's");
    EXPECT_TRUE(desktop.registered.isEmpty()) << "nothing is registered without a copy";
    fs::remove(applications);

    Files::write(source + "/Contents/Info.plist", "<plist/>");
    try {
        AppInstaller::install(QString::fromStdString(source), Preferences::defaultInstallFolder(), desktop);
        ADD_FAILURE() << "installed without a version";
    } catch (const Problem& problem) {
        EXPECT_EQ(problem.description(), "Missing app version.");
    }
    fs::remove_all(TestHome::path() + "/build-b");
    fs::remove_all(applications);
}

TEST(AppInstaller, AFailedRegistrationIsReportedAndLeavesTheVerifiedCopy)
{
    const std::string source = sealedBundle(TestHome::path() + "/build-c/tallyroom.app", "1.6");
    RecordingDesktop desktop;
    desktop.refuse = true;
    EXPECT_THROW(AppInstaller::install(QString::fromStdString(source), Preferences::defaultInstallFolder(), desktop), Problem);
    const std::string installed = TestHome::path() + "/Applications/tallyroom v1.6.app";
    EXPECT_EQ(InstallSafety::releaseHash(installed), InstallSafety::releaseHash(source)) << "the next attempt reuses it";
    fs::remove_all(TestHome::path() + "/Applications");
    fs::remove_all(TestHome::path() + "/build-c");
}
