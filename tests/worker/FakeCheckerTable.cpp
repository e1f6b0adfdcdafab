#include "worker/platform/VolumeChecker.h"

// Every file system gets the test's fake checker, given the volume's mount point.
namespace VolumeChecker {

std::optional<std::vector<std::string>> commandFor(const Mount& mount)
{
    return std::vector<std::string> {FAKE_CHECKER, mount.mountPoint};
}

}
