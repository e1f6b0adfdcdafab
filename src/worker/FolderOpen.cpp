#include "FolderOpen.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW;

int openat2(int folderFd, const char* path, uint64_t resolve)
{
    open_how how {};
    how.flags = folderFlags;
    how.resolve = resolve;
    long fd;
    do
        fd = syscall(SYS_openat2, folderFd, path, &how, sizeof how);
    while (fd < 0 && errno == EINTR);
    return static_cast<int>(fd);
}

bool withoutOpenat2()
{
    return errno == ENOSYS;
}

// Below a root: no links, no mount crossings (bind mounts included), nothing above `folderFd`.
constexpr uint64_t belowRoot = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_NO_XDEV | RESOLVE_BENEATH;

// Without openat2, one component per call, none of them followed when it is a link.
UniqueFd descendEach(int folderFd, const std::vector<std::string_view>& names)
{
    UniqueFd current;
    int from = folderFd;
    for (std::string_view name : names) {
        UniqueFd opened(openat(from, std::string(name).c_str(), folderFlags));
        if (!opened)
            return {};
        current = std::move(opened);
        from = current.get();
    }
    return current;
}

}

namespace FolderOpen {

UniqueFd root(const std::string& path)
{
    const int fd = openat2(AT_FDCWD, path.c_str(), RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS);
    if (fd >= 0 || !withoutOpenat2())
        return UniqueFd(fd);
    return UniqueFd(open(path.c_str(), folderFlags));
}

UniqueFd child(int folderFd, const char* name)
{
    const int fd = openat2(folderFd, name, belowRoot);
    if (fd >= 0 || !withoutOpenat2())
        return UniqueFd(fd);
    return UniqueFd(openat(folderFd, name, folderFlags));
}

UniqueFd descend(int folderFd, const std::vector<std::string_view>& names)
{
    UniqueFd current;
    int from = folderFd;
    std::string piece;
    for (size_t next = 0; next < names.size();) {
        piece.assign(names[next++]);
        while (next < names.size() && piece.size() + 1 + names[next].size() < PATH_MAX) {
            piece += '/';
            piece += names[next++];
        }
        UniqueFd opened(openat2(from, piece.c_str(), belowRoot));
        if (!opened && withoutOpenat2())
            return descendEach(folderFd, names);
        if (!opened)
            return {};
        current = std::move(opened);
        from = current.get();
    }
    return current;
}

}
