#include "worker/HeldEntry.h"

#include "shared/Paths.h"
#include "shared/Uuid.h"

#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <unistd.h>

HeldEntry::HeldEntry(const PrivateFolder& room, std::string name, std::string shownFolder, int pinned)
    : room_(room), name_(std::move(name)), shownFolder_(std::move(shownFolder)), pinned_(pinned)
{
}

bool HeldEntry::take()
{
    return renameat2(room_.parent(), name_.c_str(), room_.fd(), name_.c_str(), RENAME_NOREPLACE) == 0;
}

std::optional<FileStatus> HeldEntry::status() const { return FileStatus::at(room_.fd(), name_.c_str()); }

bool HeldEntry::remove() { return unlinkat(room_.fd(), name_.c_str(), 0) == 0; }

std::optional<HeldEntry::Place> HeldEntry::moveBack() const
{
    if (renameat2(room_.fd(), name_.c_str(), room_.parent(), name_.c_str(), RENAME_NOREPLACE) == 0)
        return std::nullopt;
    const std::string recovery = name_ + ".tallyroom-recovered-" + Uuid::random().substr(0, 8);
    if (renameat2(room_.fd(), name_.c_str(), room_.parent(), recovery.c_str(), RENAME_NOREPLACE) == 0)
        return Place {Paths::child(shownFolder_, recovery), false};
    return Place {Paths::child(Paths::child(shownFolder_, room_.name()), name_), true};
}

std::string HeldEntry::putBackStranger(const std::string& reason) const
{
    const auto moved = moveBack();
    if (!moved)
        return reason;
    return reason + " The entry found under its name was not the reviewed file and could not be put back; it is now at "
           + moved->path + ". " + reviewedWhereabouts();
}

std::string HeldEntry::putBackReviewed(const std::string& reason) const
{
    const auto moved = moveBack();
    if (!moved)
        return reason;
    if (moved->stuck)
        return reason + " The reviewed file could not be moved back and is still at " + moved->path + ".";
    return reason + " Another entry has taken its name, so the reviewed file is now at " + moved->path + ".";
}

std::string HeldEntry::reviewedWhereabouts() const
{
    const auto st = FileStatus::ofDescriptor(pinned_);
    char link[PATH_MAX];
    const std::string self = "/proc/self/fd/" + std::to_string(pinned_);
    const ssize_t length = readlink(self.c_str(), link, sizeof link);
    if (!st || st->nlink == 0)
        return "The reviewed file is no longer on the disk.";
    if (length <= 0 || static_cast<size_t>(length) >= sizeof link)
        return "The reviewed file is still on the disk, at a place that cannot be named.";
    return "The reviewed file is at " + std::string(link, static_cast<size_t>(length)) + ".";
}
