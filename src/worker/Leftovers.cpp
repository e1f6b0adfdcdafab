#include "worker/Leftovers.h"

#include "shared/Paths.h"
#include "shared/PosixError.h"
#include "shared/Uuid.h"
#include "shared/platform/FileStatus.h"
#include "shared/platform/FolderListing.h"
#include "shared/platform/UniqueFd.h"
#include "worker/PrivateFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

std::vector<std::string> namesIn(int folder, const std::function<bool(std::string_view)>& wanted)
{
    std::vector<std::string> names;
    if (lseek(folder, 0, SEEK_SET) != 0)
        return names;
    FolderListing listing(FolderListing::Order::folder);
    while (listing.next(folder))
        for (const FolderListing::Entry& entry : listing.batch())
            if (wanted(entry.view()))
                names.emplace_back(entry.view());
    return names;
}

bool isLeftoverName(std::string_view name)
{
    return name.starts_with(PrivateFolder::prefix) || name.starts_with(PrivateFolder::restoringPrefix);
}

// The leftover `name` in `parent`, opened and locked; invalid when it is not one of ours or a
// removal still works in it.
UniqueFd openLeftover(int parent, const std::string& name)
{
    UniqueFd folder(openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    const auto st = folder ? FileStatus::ofDescriptor(folder.get()) : std::nullopt;
    const auto above = FileStatus::ofDescriptor(parent);
    if (!st || !above || !PrivateFolder::ours(*st) || st->mountId != above->mountId
        || flock(folder.get(), LOCK_EX | LOCK_NB) != 0)
        return UniqueFd();
    return folder;
}

bool sameFolder(int parent, const std::string& name, int folder)
{
    const auto named = FileStatus::at(parent, name.c_str());
    const auto held = FileStatus::ofDescriptor(folder);
    return named && held && named->device == held->device && named->inode == held->inode;
}

// Renames a leftover of a killed run out of the way first, so that a further interruption
// never leaves it looking like a run's folder that its entry left by being unlinked.
std::optional<std::string> markRestoring(int parent, const std::string& name, int folder)
{
    if (name.starts_with(PrivateFolder::restoringPrefix))
        return name;
    const std::string restoring = std::string(PrivateFolder::restoringPrefix) + name.substr(PrivateFolder::prefix.size());
    if (renameat2(parent, name.c_str(), parent, restoring.c_str(), RENAME_NOREPLACE) != 0
        || !sameFolder(parent, restoring, folder))
        return std::nullopt;
    return restoring;
}

std::string putBack(int parent, std::string_view shown, int folder, const std::string& folderName, const std::string& name)
{
    const std::string own = Paths::child(shown, name);
    const std::string why = " — An interrupted removal had left it in a hidden folder.";
    if (renameat2(folder, name.c_str(), parent, name.c_str(), RENAME_NOREPLACE) == 0)
        return "Put back: " + own + why;
    const std::string recovery = name + ".tallyroom-recovered-" + Uuid::random().substr(0, 8);
    if (renameat2(folder, name.c_str(), parent, recovery.c_str(), RENAME_NOREPLACE) == 0)
        return "Put back: " + Paths::child(shown, recovery) + " — An interrupted removal had left " + own
               + " in a hidden folder; another entry has that name now.";
    return "Not put back: " + Paths::child(Paths::child(shown, folderName), name)
           + " — An interrupted removal left it there, and it cannot be moved: " + PosixError(errno).description();
}

}

namespace Leftovers {

std::vector<std::string> restore(int parent, std::string_view shownFolder)
{
    std::vector<std::string> notes;
    for (const std::string& name : namesIn(parent, isLeftoverName)) {
        const UniqueFd folder = openLeftover(parent, name);
        const std::optional<std::string> current = folder ? markRestoring(parent, name, folder.get()) : std::nullopt;
        if (!current)
            continue;
        for (const std::string& entry : namesIn(folder.get(), [](std::string_view) { return true; }))
            notes.push_back(putBack(parent, shownFolder, folder.get(), *current, entry));
        if (sameFolder(parent, *current, folder.get()))
            unlinkat(parent, current->c_str(), AT_REMOVEDIR);
    }
    return notes;
}

std::optional<bool> holds(int parent, std::string_view tag, const std::string& name)
{
    const std::string runPrefix = std::string(PrivateFolder::prefix) + std::string(tag) + "-";
    std::optional<bool> held;
    for (const std::string& leftover :
         namesIn(parent, [&](std::string_view entry) { return entry.starts_with(runPrefix); })) {
        const UniqueFd folder = openLeftover(parent, leftover);
        if (!folder)
            continue;
        held = held.value_or(false) || FileStatus::at(folder.get(), name.c_str()).has_value();
    }
    return held;
}

}
