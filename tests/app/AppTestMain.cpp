#include "TestHome.h"
#include "app/session/Preferences.h"

#include <QApplication>
#include <QLocale>
#include <QSettings>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv)
{
    // Home, preferences and locale are fixed before the code under test first reads them.
    const std::string home = TestHome::path();
    unsetenv("XDG_CONFIG_HOME");
    std::signal(SIGPIPE, SIG_DFL);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // Widgets render without a display; a private runtime folder keeps Qt quiet about it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string runtime = home + "/.runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    qputenv("XDG_RUNTIME_DIR", runtime.c_str());
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("tallyroom-tests"));
    QCoreApplication::setApplicationName(QStringLiteral("tallyroom"));
    // Both settle where the settings live at first use; tests may change XDG_CONFIG_HOME later.
    static_cast<void>(QSettings().fileName());
    static_cast<void>(Preferences::settingsPath());
    testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return status;
}
