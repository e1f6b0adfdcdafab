#include "DiskSetup.h"

#include "Problem.h"
#include "platform/Volumes.h"

#include <QSet>

#include <array>
#include <string_view>

namespace {

// System and pseudo file systems that no person thinks of as a disk.
bool hidden(const Mount& mount)
{
    static constexpr std::array<std::string_view, 26> pseudoTypes = {
        "proc", "sysfs", "cgroup", "cgroup2", "devtmpfs", "tmpfs", "overlay", "squashfs", "devpts",
        "mqueue", "debugfs", "tracefs", "securityfs", "pstore", "bpf", "configfs", "fusectl", "hugetlbfs",
        "autofs", "binfmt_misc", "nsfs", "rpc_pipefs", "efivarfs", "ramfs", "selinuxfs", "fuse.portal",
    };
    for (std::string_view type : pseudoTypes)
        if (mount.type == type)
            return true;
    const QString point = QString::fromStdString(mount.mountPoint);
    for (const char* system : {"/proc", "/sys", "/dev", "/snap", "/boot"})
        if (point == QLatin1String(system) || point.startsWith(QLatin1String(system) + QLatin1Char('/')))
            return true;
    const bool underRun = point == QLatin1String("/run") || point.startsWith(QLatin1String("/run/"));
    return underRun && !point.startsWith(QLatin1String("/run/media/"));
}

QString nameOf(const Mount& mount)
{
    const QString label = QString::fromStdString(Volumes::label(mount));
    return label.isEmpty() ? QString::fromStdString(mount.mountPoint) : label;
}

}

std::vector<VolumeEntry> DiskSetup::disks(bool includeCloud)
{
    try {
        return disksFrom(Volumes::all(), includeCloud);
    } catch (const Problem&) {
        return disksFrom({}, includeCloud);
    }
}

std::vector<VolumeEntry> DiskSetup::disksFrom(const std::vector<Mount>& mounts, bool includeCloud)
{
    Mount startup;
    startup.mountPoint = "/";
    for (const Mount& mount : mounts)
        if (mount.mountPoint == "/")
            startup = mount;
    std::vector<VolumeEntry> entries {{QStringLiteral("/"), nameOf(startup)}};
    QSet<QString> listed {QStringLiteral("/")};
    for (const Mount& mount : mounts) {
        const QString point = QString::fromStdString(mount.mountPoint);
        if (hidden(mount) || listed.contains(point) || (!includeCloud && !mount.local()))
            continue;
        listed.insert(point);
        entries.push_back({point, nameOf(mount)});
    }
    return entries;
}
