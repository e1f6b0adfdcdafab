#include "shared/platform/FolderChain.h"

#include "shared/Paths.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <linux/openat2.h>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The kernel asks for a retry when a rename or mount raced with a resolution kept beneath.
constexpr int attempts = 8;

constexpr uint64_t withoutLinks = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;

UniqueFd openat2(int from, const char* path, uint64_t resolveFlags)
{
    open_how how {};
    how.flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    how.resolve = resolveFlags;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        const long fd = syscall(SYS_openat2, from, path, &how, sizeof how);
        if (fd >= 0)
            return UniqueFd(static_cast<int>(fd));
        if (errno != EAGAIN && errno != EINTR)
            break;
    }
    return UniqueFd();
}

// The kernel takes no path of PATH_MAX bytes or more: a longer one is resolved in steps cut at
// slashes, each from the folder the step before reached and beneath it.
UniqueFd resolveInSteps(int from, const std::string& path, uint64_t resolveFlags)
{
    UniqueFd reached;
    std::string_view rest = path;
    while (!rest.empty()) {
        const size_t cut = rest.size() < PATH_MAX ? rest.size() : rest.rfind('/', PATH_MAX - 1);
        if (cut == std::string_view::npos || cut == 0) {
            errno = ENAMETOOLONG;
            return UniqueFd();
        }
        const std::string step(rest.substr(0, cut));
        UniqueFd next = openat2(reached ? reached.get() : from, step.c_str(),
                                reached ? resolveFlags | RESOLVE_BENEATH : resolveFlags);
        if (!next)
            return UniqueFd();
        reached = std::move(next);
        rest.remove_prefix(cut);
        while (rest.starts_with('/'))
            rest.remove_prefix(1);
    }
    return reached;
}

UniqueFd resolve(int from, std::string_view path, uint64_t resolveFlags)
{
    bool climbs = false;
    Paths::forEachComponent(path, [&](std::string_view component) {
        climbs = component == "..";
        return !climbs;
    });
    const std::string text = path.empty() ? std::string(".") : std::string(path);
    if (climbs || text.find('\0') != std::string::npos) {
        errno = EINVAL;
        return UniqueFd();
    }
    if (text.size() < PATH_MAX)
        return openat2(from, text.c_str(), withoutLinks | resolveFlags);
    return resolveInSteps(from, text, withoutLinks | resolveFlags);
}

}

namespace FolderChain {

UniqueFd openAbsolute(std::string_view path)
{
    if (!path.starts_with('/')) {
        errno = EINVAL;
        return UniqueFd();
    }
    // One descriptor, not one for "/" as well: walks run close to their descriptor limit.
    return resolve(AT_FDCWD, path, 0);
}

UniqueFd open(int from, std::string_view relative)
{
    return resolve(from, relative, RESOLVE_BENEATH);
}

UniqueFd openOnMount(int from, std::string_view relative)
{
    return resolve(from, relative, RESOLVE_BENEATH | RESOLVE_NO_XDEV);
}

UniqueFd openChild(int from, const char* name)
{
    return openat2(from, name, withoutLinks | RESOLVE_BENEATH | RESOLVE_NO_XDEV);
}

}
