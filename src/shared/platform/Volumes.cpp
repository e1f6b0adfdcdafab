#include "shared/platform/Volumes.h"

#include "shared/PosixError.h"
#include "shared/platform/FileStatus.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

// The mount table writes space, tab, newline and backslash as \ooo.
std::string unescaped(const std::string& field)
{
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits = field.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string::npos) {
                out += static_cast<char>(std::stoi(digits, nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

// Labels under /dev/disk/by-label escape unsafe bytes as \xHH.
std::string unescapedLabel(const std::string& name)
{
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name.compare(i, 2, "\\x") == 0 && i + 3 < name.size()) {
            const std::string hex = name.substr(i + 2, 2);
            if (hex.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos) {
                out += static_cast<char>(std::stoi(hex, nullptr, 16));
                i += 3;
                continue;
            }
        }
        out += name[i];
    }
    return out;
}

std::optional<Mount> parseLine(const std::string& line)
{
    std::istringstream in(line);
    std::string id, parentId, majorMinor, root, mountPoint, field;
    if (!(in >> id >> parentId >> majorMinor >> root >> mountPoint))
        return std::nullopt;
    while (in >> field && field != "-") {
    }
    Mount mount;
    if (!(in >> mount.type >> mount.source))
        return std::nullopt;
    mount.mountPoint = unescaped(mountPoint);
    mount.source = unescaped(mount.source);
    const size_t colon = majorMinor.find(':');
    if (colon == std::string::npos)
        return std::nullopt;
    mount.device = FileStatus::encodeDevice(static_cast<uint32_t>(std::stoul(majorMinor.substr(0, colon))),
                                            static_cast<uint32_t>(std::stoul(majorMinor.substr(colon + 1))));
    return mount;
}

bool below(const std::string& path, const std::string& folder)
{
    if (folder == "/")
        return !path.empty() && path.front() == '/';
    return path == folder || (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0
                              && path[folder.size()] == '/');
}

}

namespace Volumes {

std::vector<Mount> all()
{
    std::ifstream table("/proc/self/mountinfo");
    if (!table)
        throw PosixError(errno ? errno : ENOENT);
    std::vector<Mount> mounts;
    std::string line;
    while (std::getline(table, line))
        if (auto mount = parseLine(line))
            mounts.push_back(std::move(*mount));
    return mounts;
}

Mount containing(const std::string& path)
{
    const auto status = FileStatus::of(path);
    if (!status)
        throw PosixError(errno);
    const std::vector<Mount> mounts = all();
    // Subvolumes and stacked mounts can report a device of their own: a mount of the path's
    // own device wins, otherwise the deepest mount point; the last listed wins a tie.
    const Mount* best = nullptr;
    for (bool sameDevice : {true, false}) {
        for (const Mount& mount : mounts)
            if (below(path, mount.mountPoint) && (!sameDevice || mount.device == status->device)
                && (!best || mount.mountPoint.size() >= best->mountPoint.size()))
                best = &mount;
        if (best)
            break;
    }
    if (!best)
        throw PosixError(ENOENT);
    return *best;
}

std::string label(const Mount& mount)
{
    char source[PATH_MAX];
    if (!realpath(mount.source.c_str(), source))
        return {};
    DIR* folder = opendir("/dev/disk/by-label");
    if (!folder)
        return {};
    std::string found;
    while (const dirent* entry = readdir(folder)) {
        const std::string link = std::string("/dev/disk/by-label/") + entry->d_name;
        char target[PATH_MAX];
        if (entry->d_name[0] != '.' && realpath(link.c_str(), target) && std::string(target) == source) {
            found = unescapedLabel(entry->d_name);
            break;
        }
    }
    closedir(folder);
    return found;
}

}
