#include "Files.h"
#include "TempFolder.h"
#include "app/platform/GioApplications.h"
#include "app/viewer/OpenWithMenu.h"

#include <QDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

void writeEntry(const std::string& folder, const std::string& file, const std::string& name, const std::string& exec)
{
    Files::write(folder + "/" + file, "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec
                                          + " %f\nMimeType=text/plain;\n");
}

}

// GIO reads the desktop's application registry once per process, so this sets up its own
// registry before the first look.
TEST(GioApplications, ListsTheRegisteredApplicationsWithTheDefaultFirst)
{
    TempFolder desktop;
    const std::string applications = desktop / "data/applications";
    writeEntry(applications, "zeta-editor.desktop", "Zeta Editor", "/bin/true");
    writeEntry(applications, "alpha-viewer.desktop", "Alpha Viewer", "/bin/true");
    const std::string vanishing = desktop / "vanishing-program";
    Files::write(vanishing, "#!/bin/sh\n");
    std::filesystem::permissions(vanishing, std::filesystem::perms::owner_all);
    writeEntry(applications, "broken.desktop", "Broken", vanishing);
    ASSERT_EQ(std::system(("update-desktop-database '" + applications + "'").c_str()), 0);
    Files::write(desktop / "config/mimeapps.list", "[Default Applications]\ntext/plain=zeta-editor.desktop\n");
    setenv("XDG_DATA_HOME", (desktop / "data").c_str(), 1);
    setenv("XDG_DATA_DIRS", (desktop / "none").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (desktop / "config").c_str(), 1);
    Files::write(desktop / "notes.txt", "hello");

    GioApplications gio;
    const QString file = QString::fromStdString(desktop / "notes.txt");
    const QString zeta = QString::fromStdString(applications + "/zeta-editor.desktop");
    EXPECT_EQ(gio.defaultFor(file), zeta);
    EXPECT_EQ(gio.displayName(zeta), "Zeta Editor");
    const auto choices = OpenWithMenu::applicationsFor(file, gio);
    EXPECT_EQ(choices.preferred, zeta);
    EXPECT_EQ(choices.others, (QStringList {QString::fromStdString(applications + "/alpha-viewer.desktop"),
                                            QString::fromStdString(applications + "/broken.desktop")}));
    EXPECT_EQ(gio.open(file, QString::fromStdString(applications + "/alpha-viewer.desktop")), std::nullopt);
    std::filesystem::remove(vanishing);
    const auto failure = gio.open(file, QString::fromStdString(applications + "/broken.desktop"));
    ASSERT_TRUE(failure.has_value());
    EXPECT_FALSE(failure->isEmpty());
}
