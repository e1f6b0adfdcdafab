#include "worker/platform/VolumeChecker.h"

#include <cstdlib>
#include <cstring>

// The test's stand-ins: the kernel's records come from FAKE_KERNEL_ROOT, the administrator
// runner is the fake pkexec script, and every file system gets the fake checker (at
// FAKE_CHECKER_PATH when set) unless FAKE_ONLINE_CHECK is "none".
namespace VolumeChecker {

std::string kernelRoot()
{
    const char* root = std::getenv("FAKE_KERNEL_ROOT");
    return root ? root : "/nonexistent/kernel";
}

std::string privilegedRunner()
{
    return FAKE_PKEXEC;
}

std::optional<std::vector<std::string>> onlineCheck(const Mount& mount)
{
    const char* online = std::getenv("FAKE_ONLINE_CHECK");
    if (online && std::strcmp(online, "none") == 0)
        return std::nullopt;
    const char* checker = std::getenv("FAKE_CHECKER_PATH");
    return std::vector<std::string> {checker ? checker : FAKE_CHECKER, mount.mountPoint};
}

}
