#include "shared/platform/FolderListing.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr size_t bufferSize = 64 * 1024;

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}

FolderListing::FolderListing(Order order) : order_(order), buffer_(new char[bufferSize]) {}

bool FolderListing::next(int folderFd)
{
    batch_.clear();
    error_ = 0;
    while (batch_.empty()) {
        const long bytes = syscall(SYS_getdents64, folderFd, buffer_.get(), bufferSize);
        if (bytes < 0 && errno == EINTR)
            continue;
        if (bytes <= 0) {
            error_ = bytes < 0 ? errno : 0;
            return false;
        }
        for (long offset = 0; offset < bytes;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer_.get() + offset);
            if (!isDotOrDotDot(entry->d_name))
                batch_.push_back({entry->d_name, std::strlen(entry->d_name), entry->d_ino});
            offset += entry->d_reclen;
        }
    }
    if (order_ == Order::inode)
        std::sort(batch_.begin(), batch_.end(), [](const Entry& a, const Entry& b) {
            return a.inode != b.inode ? a.inode < b.inode : a.name < b.name;
        });
    return true;
}
