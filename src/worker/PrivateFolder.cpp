#include "worker/PrivateFolder.h"

#include "shared/Uuid.h"
#include "worker/Failure.h"
#include "worker/Seam.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* takenOver
    = "File changed or removal was denied. The folder made for the removal was replaced by another.";

}

PrivateFolder::PrivateFolder(int parent, const FileStatus& parentStatus, std::string_view tag)
    : parent_(fcntl(parent, F_DUPFD_CLOEXEC, 0)), name_(std::string(prefix) + std::string(tag) + "-"
                                                         + Uuid::random().substr(0, 8)),
      parentStatus_(parentStatus)
{
    if (!parent_ || mkdirat(parent, name_.c_str(), 0700) != 0)
        throw Failure("File changed or removal was denied.");
    Seam::reach("private.made");
    fd_ = UniqueFd(openat(parent, name_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    const auto st = fd_ ? FileStatus::ofDescriptor(fd_.get()) : std::nullopt;
    // A umask may have taken the owner's own rights; nobody else's are ever given.
    const bool made = st && st->isDirectory() && st->uid == geteuid() && (st->mode & 077) == 0 && st->nlink == 2
                      && st->mountId == parentStatus.mountId && !st->mountRoot;
    if (!made || ((st->mode & 07777) != 0700 && fchmod(fd_.get(), 0700) != 0) || flock(fd_.get(), LOCK_EX | LOCK_NB) != 0)
        throw Failure(takenOver);
    status_ = *st;
}

void PrivateFolder::remove() const
{
    const auto now = FileStatus::at(parent_.get(), name_.c_str());
    if (now && now->device == status_.device && now->inode == status_.inode && now->mountId == status_.mountId)
        unlinkat(parent_.get(), name_.c_str(), AT_REMOVEDIR);
}

bool PrivateFolder::ours(const FileStatus& st)
{
    return st.isDirectory() && st.uid == geteuid() && (st.mode & 07777) == 0700 && !st.mountRoot;
}
