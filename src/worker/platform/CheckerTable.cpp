#include "worker/platform/VolumeChecker.h"

namespace VolumeChecker {

std::string kernelRoot()
{
    return "/sys";
}

std::string privilegedRunner()
{
    return "/usr/bin/pkexec";
}

std::optional<std::vector<std::string>> onlineCheck(const Mount& mount)
{
    if (mount.type == "btrfs")
        return std::vector<std::string> {"/usr/bin/btrfs", "scrub", "start", "-B", "-r", mount.mountPoint};
    if (mount.type == "xfs")
        return std::vector<std::string> {"/usr/sbin/xfs_scrub", "-n", mount.mountPoint};
    return std::nullopt;
}

}
