#include "worker/platform/KernelRecords.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

namespace fs = std::filesystem;

namespace {

constexpr const char* ext4Counters[] = {"errors_count",      "first_error_time", "first_error_func",
                                        "first_error_errcode", "last_error_time",  "last_error_func",
                                        "last_error_errcode"};

std::optional<std::string> firstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line))
        return std::nullopt;
    return line;
}

// A plain decimal count, nothing before or after it.
std::optional<unsigned long long> count(const std::string& text)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 19)
        return std::nullopt;
    return std::stoull(text);
}

KernelRecord unknown(const std::string& why)
{
    return {KernelRecord::State::Unknown, why};
}

// The kernel's name of the device a mount came from ("loop0", "dm-0").
std::string sourceName(const std::string& source)
{
    char resolved[PATH_MAX];
    if (realpath(source.c_str(), resolved))
        return fs::path(resolved).filename().string();
    return fs::path(source).filename().string();
}

// Adds one "name value" line per counter of a btrfs error_stats file; false when any is
// not a plain count.
bool addBtrfsCounters(const fs::path& file, std::string& text, bool& errors)
{
    std::ifstream in(file);
    std::string name;
    std::string value;
    bool any = false;
    while (in >> name >> value) {
        const auto number = count(value);
        if (!number)
            return false;
        errors = errors || *number > 0;
        text += file.parent_path().filename().string() + " " + name + ": " + value + "\n";
        any = true;
    }
    return any;
}

}

KernelRecords::KernelRecords(std::string root)
    : root_(std::move(root))
{
}

KernelRecord KernelRecords::read(const Mount& mount) const
{
    if (mount.type == "ext2" || mount.type == "ext3" || mount.type == "ext4")
        return ext4(mount);
    if (mount.type == "btrfs")
        return btrfs(mount);
    return unknown("The kernel keeps no error count for " + mount.type + " volumes.");
}

std::string KernelRecords::blockName(int32_t device) const
{
    const std::string link = root_ + "/dev/block/" + std::to_string(device >> 20) + ":"
                             + std::to_string(device & 0xfffff);
    std::error_code error;
    const fs::path target = fs::read_symlink(link, error);
    return error ? std::string() : target.filename().string();
}

KernelRecord KernelRecords::ext4(const Mount& mount) const
{
    const std::string name = blockName(mount.device);
    const std::string folder = root_ + "/fs/ext4/" + name;
    const auto errors = name.empty() ? std::nullopt : firstLine(folder + "/errors_count");
    const auto recorded = errors ? count(*errors) : std::nullopt;
    if (!recorded)
        return unknown("The kernel’s error count for " + mount.source + " could not be read.");
    std::string text;
    for (const char* counter : ext4Counters)
        if (const auto value = firstLine(folder + "/" + counter))
            text += std::string(counter) + ": " + *value + "\n";
    return {*recorded > 0 ? KernelRecord::State::ErrorsRecorded : KernelRecord::State::Clean, text};
}

KernelRecord KernelRecords::btrfs(const Mount& mount) const
{
    const std::string device = sourceName(mount.source);
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(root_ + "/fs/btrfs", error)) {
        if (!fs::exists(entry.path() / "devices" / device, error))
            continue;
        std::string text;
        bool errors = false;
        bool read = false;
        for (const fs::directory_entry& member : fs::directory_iterator(entry.path() / "devinfo", error)) {
            if (!addBtrfsCounters(member.path() / "error_stats", text, errors))
                return unknown("The kernel’s error statistics for " + mount.source + " could not be read.");
            read = true;
        }
        if (!read)
            break;
        return {errors ? KernelRecord::State::ErrorsRecorded : KernelRecord::State::Clean, text};
    }
    return unknown("The kernel’s error statistics for " + mount.source + " could not be read.");
}
