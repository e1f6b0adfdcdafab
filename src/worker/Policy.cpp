#include "worker/Policy.h"

#include "shared/InstallSafety.h"
#include "shared/Paths.h"
#include "shared/platform/FileFlags.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr uint32_t lockingFlags
    = FileFlags::userAppend | FileFlags::systemImmutable | FileFlags::systemAppend | FileFlags::restricted;

bool parentWritable(int parentFd)
{
    if (faccessat(parentFd, "", W_OK | X_OK, AT_EMPTY_PATH) == 0)
        return true;
    if (errno != ENOSYS && errno != EINVAL)
        return false;
    // A kernel without flags for faccessat still finds the folder through its descriptor's entry.
    char entry[32];
    std::snprintf(entry, sizeof entry, "/proc/self/fd/%d", parentFd);
    return access(entry, W_OK | X_OK) == 0;
}

bool eligible(const DiskScope& scope, std::string_view path, std::string_view visible, const FileStatus& st,
              int parentFd)
{
    return scope.deletable(visible) && scope.allows(path, st) && st.isRegular() && st.uid == getuid()
           && !(st.flags & lockingFlags) && parentWritable(parentFd);
}

bool onStartupDisk(const DiskScope& scope, const FileStatus& st)
{
    return scope.root() == "/" || (scope.startupDataDevice() && *scope.startupDataDevice() == st.device);
}

// Inside the user's cache folder or one of the home Library folders whose contents may go
// after authentication.
bool inDisposableLibrary(std::string_view visible)
{
    if (DiskScope::inside(visible, InstallSafety::cacheFolder()) && visible != InstallSafety::cacheFolder())
        return true;
    static constexpr std::array<std::string_view, 4> folders = {"Caches", "Logs", "CloudStorage", "Mobile Documents"};
    for (std::string_view folder : folders)
        if (DiskScope::inside(visible, InstallSafety::home() + "/Library/" + std::string(folder)))
            return true;
    return false;
}

bool hasLibraryComponent(std::string_view visible)
{
    bool found = false;
    Paths::forEachComponent(visible, [&](std::string_view component) {
        found = component == "Library";
        return !found;
    });
    return found;
}

}

namespace Worker {

std::string_view mode(const DiskScope& scope, std::string_view path, const FileStatus& st, int parentFd)
{
    const std::string_view visible = scope.visible(path);
    if (!eligible(scope, path, visible, st, parentFd))
        return Policy::isProtected;
    if (onStartupDisk(scope, st) && !DiskScope::inside(visible, DiskScope::usersFolder))
        return Policy::isProtected;
    const bool disposable = inDisposableLibrary(visible);
    if (!disposable && hasLibraryComponent(visible))
        return Policy::isProtected;
    if (!disposable && DiskScope::inside(visible, InstallSafety::home()) && !(st.flags & FileFlags::userImmutable))
        return Policy::normal;
    return st.nlink == 1 ? Policy::challenge : Policy::isProtected;
}

}
