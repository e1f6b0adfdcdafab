#include "worker/platform/VolumeChecker.h"

namespace VolumeChecker {

std::optional<std::vector<std::string>> commandFor(const Mount& mount)
{
    if (mount.type == "btrfs")
        return std::vector<std::string> {"/usr/bin/btrfs", "scrub", "start", "-B", "-r", mount.mountPoint};
    if (mount.type == "xfs")
        return std::vector<std::string> {"/usr/sbin/xfs_scrub", "-n", mount.mountPoint};
    if (mount.type == "ext2" || mount.type == "ext3" || mount.type == "ext4")
        return std::vector<std::string> {"/usr/sbin/e2fsck", "-fn", mount.source};
    return std::nullopt;
}

}
