#include "worker/RemovalRooms.h"

#include "worker/DeletionLog.h"
#include "worker/Leftovers.h"

namespace {

// Far more folders than a reviewed selection spans; past it, the run starts afresh rather
// than hold ever more descriptors.
constexpr size_t mostRooms = 128;

}

RemovalRooms::RemovalRooms(std::string tag, DeletionLog* log) : tag_(std::move(tag)), log_(log) {}

RemovalRooms::~RemovalRooms()
{
    // A report that could not be written whole may end in a pending line, which the next run
    // settles by what the run's folders hold.
    if (!log_ || log_->failure().empty())
        removeAll();
}

void RemovalRooms::removeAll()
{
    for (const auto& room : rooms_)
        room->remove();
    rooms_.clear();
}

const PrivateFolder& RemovalRooms::in(int parent, const FileStatus& parentStatus, std::string_view shownFolder)
{
    for (const auto& room : rooms_) {
        const FileStatus& known = room->parentStatus();
        if (known.device == parentStatus.device && known.inode == parentStatus.inode
            && known.mountId == parentStatus.mountId)
            return *room;
    }
    if (rooms_.size() >= mostRooms)
        removeAll();
    rooms_.push_back(std::make_unique<PrivateFolder>(parent, parentStatus, tag_));
    return *rooms_.back();
}

void RemovalRooms::visit(int parent, const FileStatus& parentStatus, std::string_view shownFolder)
{
    if (visited_.emplace(parentStatus.device, parentStatus.inode, parentStatus.mountId).second)
        restore(parent, shownFolder);
}

void RemovalRooms::restore(int parent, std::string_view shownFolder)
{
    for (std::string& note : Leftovers::restore(parent, shownFolder)) {
        notes_.push_back(std::move(note));
        if (log_)
            log_->append("\n" + notes_.back());
    }
}

std::vector<std::string> RemovalRooms::takeNotes() { return std::exchange(notes_, {}); }
