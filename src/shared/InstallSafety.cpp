#include "shared/InstallSafety.h"

#include "shared/DiskScope.h"
#include "shared/Paths.h"
#include "shared/PosixError.h"
#include "shared/TrashProblem.h"
#include "shared/platform/FileStatus.h"
#include "shared/platform/HomeFolder.h"
#include "shared/platform/Volumes.h"

#include <cstdlib>
#include <array>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* placementRefused
    = "Choose Applications or an ordinary folder in your home folder for installation, and a personal folder for reports.";
constexpr const char* notLocal = "Choose a local folder for installation and app data.";
constexpr const char* insidePackage = "This location is inside a software package. Choose an ordinary folder.";
constexpr const char* occupied = "A file, link, or package occupies this location. Setup stopped.";
constexpr const char* notPersonal = " belongs to another user or others can change it. Choose a personal folder for app data.";

constexpr std::array<std::string_view, 11> packageExtensions = {
    "app", "bundle", "framework", "pkg", "mpkg", "plugin", "kext", "appex", "xpc", "photoslibrary", "sparsebundle",
};

bool ordinary(const std::string& path)
{
    const std::string& home = InstallSafety::home();
    return DiskScope::inside(path, home)
           && !DiskScope::inside(Paths::lowercased(path), Paths::lowercased(home + "/Library"));
}

bool placementAccepted(const std::string& path, bool forData)
{
    if (forData)
        return path == InstallSafety::defaultData() || (ordinary(path) && path != InstallSafety::home());
    return path == "/Applications" || ordinary(path);
}

bool hasHiddenComponent(const std::string& path)
{
    bool hidden = false;
    Paths::forEachComponent(path, [&](std::string_view component) {
        hidden = component.front() == '.';
        return !hidden;
    });
    return hidden;
}

bool isPackageName(std::string_view path)
{
    const std::string extension = Paths::lowercased(Paths::extension(path));
    for (std::string_view candidate : packageExtensions)
        if (extension == candidate)
            return true;
    return false;
}

// Reports and saved views are written into these folders by name: nobody else may own them,
// rename what is in them or put something of his own there. Anything but a folder is refused
// where it is written into (checkDirectories).
void checkPersonal(const std::string& path, const std::string& what)
{
    const auto st = FileStatus::of(path);
    if (!st && errno == ENOENT)
        return;
    if (!st)
        throw PosixError(errno);
    if (!st->isDirectory())
        return;
    if (st->uid != getuid() || (st->mode & (S_IWGRP | S_IWOTH)) != 0)
        throw TrashProblem(what + notPersonal);
}

std::string nearestExisting(std::string path)
{
    while (path != "/" && !FileStatus::of(path))
        path = Paths::parent(path);
    return path;
}

}

namespace InstallSafety {

const std::string& home()
{
    static const std::string value = Paths::standardized(HomeFolder::path());
    return value;
}

std::string cacheFolder()
{
    const char* configured = std::getenv("XDG_CACHE_HOME");
    if (configured && configured[0] == '/')
        return Paths::standardized(configured);
    return home() + "/.cache";
}

const std::string& defaultData()
{
    static const std::string value = home() + "/Library/Application Support/tallyroom";
    return value;
}

void validate(const std::string& path, bool forData)
{
    if (!placementAccepted(path, forData) || hasHiddenComponent(path))
        throw TrashProblem(placementRefused);
    checkDirectories(path);
    const Mount mount = Volumes::containing(nearestExisting(path));
    if (!mount.local() || DiskScope::provider(path))
        throw TrashProblem(notLocal);
    if (!forData)
        return;
    checkPersonal(path, "The data folder");
    checkPersonal(Paths::child(path, "Reports"), "The data folder’s Reports folder");
    checkPersonal(Paths::child(path, "Saved Views"), "The data folder’s Saved Views folder");
}

void checkDirectories(const std::string& path)
{
    std::string prefix;
    Paths::forEachComponent(path, [&](std::string_view component) {
        prefix += '/';
        prefix += component;
        if (isPackageName(prefix))
            throw TrashProblem(insidePackage);
        const auto st = FileStatus::of(prefix);
        if (!st && errno != ENOENT)
            throw PosixError(errno);
        // A missing component is fine: the rest may be created later.
        if (st && !st->isDirectory())
            throw TrashProblem(occupied);
        return true;
    });
}

}
