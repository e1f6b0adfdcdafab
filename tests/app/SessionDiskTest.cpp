#include "Files.h"
#include "TestHome.h"
#include "app/platform/VolumeNames.h"
#include "app/session/Preferences.h"
#include "app/session/SessionDisk.h"
#include "app/setup/DiskSetup.h"
#include "app/setup/VolumeRules.h"

#include <gtest/gtest.h>

#include <QSettings>

namespace {

Mount mountAt(const std::string& point, const std::string& type, const std::string& source = "/dev/sdz1")
{
    Mount mount;
    mount.mountPoint = point;
    mount.type = type;
    mount.source = source;
    return mount;
}

}

TEST(SessionDisk, EveryAssignmentRenewsTheRevision)
{
    const std::string root = TestHome::path() + "/disk";
    Files::makeFolder(root);
    const DiskScope scope(root, false, TestHome::path() + "/Data", true);
    const QUuid first = SessionDisk::revision();
    SessionDisk::setCurrent(scope);
    const QUuid second = SessionDisk::revision();
    SessionDisk::setCurrent(scope);
    EXPECT_NE(first, second);
    EXPECT_NE(second, SessionDisk::revision());
    EXPECT_EQ(SessionDisk::current(), scope);
    EXPECT_FALSE(SessionDisk::writable()) << "read-only";
    DiskScope active = scope;
    active.setReadOnly(false);
    SessionDisk::setCurrent(active);
    EXPECT_TRUE(SessionDisk::writable());
    EXPECT_EQ(SessionDisk::defaultData(), QString::fromStdString(TestHome::path() + "/Library/Application Support/tallyroom"));
}

TEST(SessionDisk, PreferencesStartEmptyAndRememberTheSession)
{
    QSettings().clear();
    EXPECT_FALSE(Preferences::includeCloud());
    EXPECT_EQ(Preferences::storagePath(), SessionDisk::defaultData());
    EXPECT_EQ(Preferences::installFolder().toStdString(), TestHome::path() + "/Applications");

    const std::string root = TestHome::path() + "/disk2";
    Files::makeFolder(root);
    Preferences::rememberSession(DiskScope(root, true, TestHome::path() + "/My Data"), "/home/u/Applications");
    EXPECT_TRUE(Preferences::includeCloud());
    EXPECT_EQ(Preferences::storagePath(), QString::fromStdString(TestHome::path() + "/My Data"));
    EXPECT_EQ(Preferences::installFolder(), "/home/u/Applications");
    EXPECT_FALSE(QSettings().value("readOnlyMode").toBool());
    Preferences::setReadOnlyMode(true);
    EXPECT_TRUE(QSettings().value("readOnlyMode").toBool());
    QSettings().clear();
}

TEST(SessionDisk, PreferencesEditedByHandFallBackToTheirDefaults)
{
    QSettings().clear();
    QSettings settings;
    settings.setValue("includeCloud", "yes");
    settings.setValue("viewerFullMode", 1);
    settings.setValue("storagePath", 42);
    settings.setValue("installFolder", QStringLiteral("/home/a") + QChar(u'\0') + QStringLiteral("b"));
    settings.sync();
    EXPECT_FALSE(Preferences::includeCloud());
    EXPECT_FALSE(Preferences::fullView());
    EXPECT_EQ(Preferences::storagePath(), SessionDisk::defaultData());
    EXPECT_EQ(Preferences::installFolder(), Preferences::defaultInstallFolder());
    settings.setValue("includeCloud", "true");
    settings.setValue("viewerFullMode", true);
    settings.sync();
    EXPECT_TRUE(Preferences::includeCloud());
    EXPECT_TRUE(Preferences::fullView());
    QSettings().clear();
}

TEST(DiskSetup, ListsTheStartupDiskFirstAndOnceThenLocalVolumes)
{
    const std::vector<Mount> mounts = {
        mountAt("/proc", "proc"),       mountAt("/", "ext4"),          mountAt("/media/usb", "vfat"),
        mountAt("/net/share", "nfs4"),  mountAt("/run/user/0", "ext4"), mountAt("/run/media/u/Stick", "exfat"),
        mountAt("/dev/shm", "tmpfs"),   mountAt("/", "ext4"),
    };
    const auto urls = [](const std::vector<VolumeEntry>& entries) {
        QStringList found;
        for (const VolumeEntry& entry : entries)
            found.append(entry.url);
        return found;
    };
    const VolumeNames names;
    EXPECT_EQ(urls(VolumeRules::offered(mounts, false, names)), (QStringList {"/", "/media/usb", "/run/media/u/Stick"}));
    EXPECT_EQ(urls(VolumeRules::offered(mounts, true, names)), (QStringList {"/", "/media/usb", "/net/share", "/run/media/u/Stick"}));
    EXPECT_EQ(VolumeRules::offered(mounts, false, names)[0].name, "Filesystem root") << "no label: the desktop's name";
    EXPECT_EQ(VolumeRules::offered(mounts, false, names)[1].name, "/media/usb")
        << "neither a label nor known to the desktop: the mount path";
    EXPECT_EQ(urls(VolumeRules::offered({}, false, names)), QStringList {"/"}) << "the startup disk is never dropped";
    EXPECT_EQ(DiskSetup::disks(false).front().url, "/");
}
