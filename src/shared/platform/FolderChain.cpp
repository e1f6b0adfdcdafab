#include "FolderChain.h"

#include "Paths.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/openat2.h>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The kernel asks for a retry when a rename or mount raced with a resolution kept beneath.
constexpr int attempts = 8;

UniqueFd resolve(int from, std::string_view relative, uint64_t resolveFlags)
{
    bool climbs = false;
    Paths::forEachComponent(relative, [&](std::string_view component) {
        climbs = component == "..";
        return !climbs;
    });
    const std::string path = relative.empty() ? std::string(".") : std::string(relative);
    if (climbs || path.find('\0') != std::string::npos) {
        errno = EINVAL;
        return UniqueFd();
    }
    open_how how {};
    how.flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | resolveFlags;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        const long fd = syscall(SYS_openat2, from, path.c_str(), &how, sizeof how);
        if (fd >= 0)
            return UniqueFd(static_cast<int>(fd));
        if (errno != EAGAIN && errno != EINTR)
            break;
    }
    return UniqueFd();
}

}

namespace FolderChain {

UniqueFd open(int from, std::string_view relative)
{
    return resolve(from, relative, 0);
}

UniqueFd openOnMount(int from, std::string_view relative)
{
    return resolve(from, relative, RESOLVE_NO_XDEV);
}

}
