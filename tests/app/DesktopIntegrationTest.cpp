// GIO first: its headers use a member named like a Qt keyword macro.
#include <gio/gdesktopappinfo.h>

#include "Files.h"
#include "TempFolder.h"
#include "TestHome.h"
#include "app/platform/FreedesktopIntegration.h"
#include "app/shell/AppIdentity.h"
#include "shared/Problem.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QStandardPaths>

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// A data home of its own for each test, so nothing reaches the real one.
class DataHome {
public:
    DataHome() : previous_(qEnvironmentVariable("XDG_DATA_HOME"))
    {
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(folder_.path() + "/share"));
    }
    ~DataHome() { qputenv("XDG_DATA_HOME", previous_.toLocal8Bit()); }
    DataHome(const DataHome&) = delete;
    DataHome& operator=(const DataHome&) = delete;

    std::string operator/(const std::string& relative) const { return folder_ / ("share/" + relative); }
    const TempFolder& folder() const { return folder_; }

private:
    TempFolder folder_;
    QString previous_;
};

// A bundle with the built resources (entry template, icons) and an executable, at `path`.
std::string bundleAt(const std::string& path)
{
    fs::create_directories(path + "/Contents/MacOS");
    fs::copy(std::string(BUNDLE) + "/Contents/Resources", path + "/Contents/Resources", fs::copy_options::recursive);
    Files::write(path + "/Contents/MacOS/tallyroom", "#!/bin/sh\n");
    chmod((path + "/Contents/MacOS/tallyroom").c_str(), 0755);
    return path;
}

std::string problemOf(const std::function<void()>& action)
{
    try {
        action();
        return "none";
    } catch (const Problem& problem) {
        return problem.description();
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

// What GIO, as menus and launchers use it, reads from the entry.
struct ReadEntry {
    std::string executable;
    std::string icon;
    std::string wmClass;
    std::string categories;
    bool opensFolders = false;
};

std::optional<ReadEntry> readByGio(const std::string& file)
{
    GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(file.c_str());
    if (!info)
        return std::nullopt;
    ReadEntry read;
    // Launchers split the command line as a shell would.
    gchar** argv = nullptr;
    if (g_shell_parse_argv(g_app_info_get_commandline(G_APP_INFO(info)), nullptr, &argv, nullptr))
        read.executable = argv[0];
    g_strfreev(argv);
    gchar* icon = g_desktop_app_info_get_string(info, "Icon");
    read.icon = icon ? icon : "";
    g_free(icon);
    const char* wmClass = g_desktop_app_info_get_startup_wm_class(info);
    read.wmClass = wmClass ? wmClass : "";
    const char* categories = g_desktop_app_info_get_categories(info);
    read.categories = categories ? categories : "";
    const char* const* types = g_app_info_get_supported_types(G_APP_INFO(info));
    read.opensFolders = types && g_strv_contains(types, "inode/directory") && g_app_info_supports_files(G_APP_INFO(info));
    g_object_unref(info);
    return read;
}

}

TEST(DesktopIntegration, RegistersTheCopyWithItsEntryAndIconsAndReplacesThemForTheNextCopy)
{
    DataHome share;
    TempFolder apps;
    FreedesktopIntegration desktop;
    const std::string first = bundleAt(apps / "tallyroom v1.0.app");
    desktop.registerCopy(QString::fromStdString(first));

    const std::string entry = share / "applications/tallyroom.desktop";
    const auto read = readByGio(entry);
    ASSERT_TRUE(read) << "GIO accepts the entry";
    EXPECT_EQ(read->executable, first + "/Contents/MacOS/tallyroom");
    EXPECT_EQ(read->icon, "tallyroom");
    AppIdentity::apply();
    EXPECT_EQ(read->wmClass, QGuiApplication::desktopFileName().toStdString()) << "windows match the entry";
    EXPECT_NE(read->categories.find("System"), std::string::npos);
    EXPECT_TRUE(read->opensFolders) << "file managers offer it for folders and hand it the path";
    EXPECT_NE(Files::read(entry).find("TryExec=" + first + "/Contents/MacOS/tallyroom\n"), std::string::npos)
        << "menus hide the entry once the copy is gone";
    for (const char* icon : {"scalable/apps/tallyroom.svg", "16x16/apps/tallyroom.png", "48x48/apps/tallyroom.png",
                             "256x256/apps/tallyroom.png"})
        EXPECT_EQ(Files::read(share / (std::string("icons/hicolor/") + icon)),
                  Files::read(first + "/Contents/Resources/icons/hicolor/" + icon))
            << icon;
    const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
    if (!validator.isEmpty())
        EXPECT_EQ(std::system(("'" + validator.toStdString() + "' '" + entry + "'").c_str()), 0);

    // Characters that need quoting in an Exec line reach the launcher unchanged.
    const std::string second = bundleAt(apps / "odd $name \"quoted\" back\\slash `tick`.app");
    desktop.registerCopy(QString::fromStdString(second));
    const auto replaced = readByGio(entry);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(replaced->executable, second + "/Contents/MacOS/tallyroom");
    for (const char* folder : {"applications", "icons/hicolor/scalable/apps", "icons/hicolor/16x16/apps"})
        for (const std::string& name : namesIn(share / folder))
            EXPECT_NE(name.front(), '.') << "no staged file is left in " << folder;

    fs::remove_all(second);
    EXPECT_FALSE(readByGio(entry)) << "once the copy is gone, launchers no longer offer the entry";
}

TEST(DesktopIntegration, NeverReplacesWhatIsNotItsOwn)
{
    DataHome share;
    TempFolder apps;
    FreedesktopIntegration desktop;
    const std::string bundle = bundleAt(apps / "tallyroom v1.0.app");
    const std::string entry = share / "applications/tallyroom.desktop";
    const std::string theirs = "[Desktop Entry]\nType=Application\nName=Someone else's\nExec=other\n";
    Files::write(entry, theirs);
    EXPECT_EQ(problemOf([&] { desktop.registerCopy(QString::fromStdString(bundle)); }),
              "An existing item occupies " + entry + ". Nothing was replaced.");
    EXPECT_EQ(Files::read(entry), theirs);
    EXPECT_EQ(namesIn(share / "applications"), std::vector<std::string> {"tallyroom.desktop"});

    // A link in the icon's place is refused and neither it nor what it points to changes.
    fs::remove(entry);
    const std::string elsewhere = share.folder() / "elsewhere.png";
    Files::write(elsewhere, "their picture");
    fs::remove(share / "icons/hicolor/16x16/apps/tallyroom.png");
    fs::create_symlink(elsewhere, share / "icons/hicolor/16x16/apps/tallyroom.png");
    EXPECT_EQ(problemOf([&] { desktop.registerCopy(QString::fromStdString(bundle)); }),
              "An existing item occupies " + share / "icons/hicolor/16x16/apps/tallyroom.png" + ". Nothing was replaced.");
    EXPECT_TRUE(fs::is_symlink(share / "icons/hicolor/16x16/apps/tallyroom.png"));
    EXPECT_EQ(Files::read(elsewhere), "their picture");
    EXPECT_FALSE(Files::exists(entry)) << "no entry without its icon";

    // A folder that is a link is not written through.
    fs::remove(share / "icons/hicolor/16x16/apps/tallyroom.png");
    fs::remove_all(share / "applications");
    fs::create_directories(share.folder() / "redirected");
    fs::create_directory_symlink(share.folder() / "redirected", share / "applications");
    EXPECT_NE(problemOf([&] { desktop.registerCopy(QString::fromStdString(bundle)); }), "none");
    EXPECT_TRUE(namesIn(share.folder() / "redirected").empty());
}

TEST(DesktopIntegration, TheDataHomeIsTheConfiguredAbsoluteFolderOrTheHomeDefault)
{
    const QString previous = qEnvironmentVariable("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "relative/share");
    EXPECT_EQ(FreedesktopIntegration::dataHome().toStdString(), TestHome::path() + "/.local/share");
    qputenv("XDG_DATA_HOME", "/srv/data//share/");
    EXPECT_EQ(FreedesktopIntegration::dataHome(), "/srv/data/share");
    qputenv("XDG_DATA_HOME", previous.toLocal8Bit());
}

TEST(DesktopIntegration, ThePathOfACopyNeverBreaksTheEntry)
{
    const QString entryTemplate = "Exec=@EXEC@\nTryExec=@TRYEXEC@\n";
    EXPECT_EQ(FreedesktopIntegration::entryFor(entryTemplate, "/a b/100%/x"),
              "Exec=\"/a b/100%%/x\"\nTryExec=/a b/100%/x\n");
    EXPECT_EQ(FreedesktopIntegration::entryFor(entryTemplate, "/a\\b"), "Exec=\"/a\\\\\\\\b\"\nTryExec=/a\\\\b\n");
    EXPECT_THROW(FreedesktopIntegration::entryFor(entryTemplate, "/a\nName=evil"), Problem)
        << "a line break would add keys to the entry";
}
