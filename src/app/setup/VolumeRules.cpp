#include "app/setup/VolumeRules.h"

#include "app/platform/VolumeNames.h"
#include "shared/Problem.h"
#include "shared/platform/Volumes.h"

#include <QSet>

#include <array>
#include <string_view>

namespace VolumeRules {

std::vector<VolumeEntry> offered(const std::vector<Mount>& mounts, bool includeCloud, const VolumeNames& names)
{
    Mount startup;
    startup.mountPoint = "/";
    for (const Mount& mount : mounts)
        if (mount.mountPoint == "/")
            startup = mount;
    std::vector<VolumeEntry> entries {{QStringLiteral("/"), names.of(startup)}};
    QSet<QString> listed {QStringLiteral("/")};
    for (const Mount& mount : mounts) {
        const QString point = QString::fromStdString(mount.mountPoint);
        if (hidden(mount) || listed.contains(point) || (!includeCloud && !mount.local()))
            continue;
        listed.insert(point);
        entries.push_back({point, names.of(mount)});
    }
    return entries;
}

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

std::optional<VolumeEntry> holding(const QString& folder)
{
    try {
        const Mount mount = Volumes::containing(folder.toStdString());
        return VolumeEntry {QString::fromStdString(mount.mountPoint), VolumeNames().of(mount)};
    } catch (const Problem&) {
        return std::nullopt;
    }
}

}
