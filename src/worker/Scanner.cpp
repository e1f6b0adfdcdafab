#include "Scanner.h"

#include "Failure.h"
#include "Output.h"
#include "Policy.h"
#include "Stamp.h"
#include "platform/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr auto tickInterval = std::chrono::milliseconds(650);

// Opens a folder without following a link anywhere on its path, so a folder swapped for a
// link while queued is never read through it.
int openFolder(const std::string& path)
{
    open_how how {};
    how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    const long fd = syscall(SYS_openat2, AT_FDCWD, path.c_str(), &how, sizeof how);
    if (fd >= 0 || errno != ENOSYS)
        return static_cast<int>(fd);
    return open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
}

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

bool isOtherVolumes(const std::string& path)
{
    return path == "/Volumes" || path == "/System/Volumes";
}

}

Scanner::Scanner(const DiskScope& scope, int progressFd) : scope_(scope), progressFd_(progressFd)
{
    path_.reserve(4096);
}

void Scanner::walk()
{
    for (const std::string& root : scope_.roots())
        walkRoot(root);
}

void Scanner::walkRoot(const std::string& root)
{
    struct statvfs fs;
    if (statvfs(root.c_str(), &fs) == 0)
        estimate_ += fs.f_files - fs.f_ffree;
    const auto st = FileStatus::of(root);
    if (!st)
        throw Failure("Target volume is unavailable.");
    rootDevice_ = st->device;
    divisor_ = std::max<uint64_t>(estimate_, 1);
    readFolders_.clear();
    stack_.assign({root});
    while (!stack_.empty()) {
        const std::string folder = std::move(stack_.back());
        stack_.pop_back();
        if (!scope_.valid())
            throw Failure("The selected disk was disconnected or replaced.");
        readFolder(folder);
    }
}

void Scanner::readFolder(const std::string& folder)
{
    const auto st = FileStatus::of(folder);
    if (!st || !st->isDirectory() || !scope_.allows(folder, *st)) {
        ++errors_;
        return;
    }
    UniqueFd fd(openFolder(folder));
    if (!fd) {
        ++errors_;
        return;
    }
    // Pass over a folder replaced since it was examined, or one already read.
    const auto opened = FileStatus::ofDescriptor(fd.get());
    if (!opened || opened->device != rootDevice_ || opened->inode != st->inode || !readFolders_.insert(st->inode).second)
        return;
    DIR* stream = fdopendir(fd.get());
    if (!stream) {
        ++errors_;
        return;
    }
    fd.release();
    readEntries(stream, folder);
    closedir(stream);
}

void Scanner::readEntries(DIR* stream, const std::string& folder)
{
    const int folderFd = dirfd(stream);
    path_.assign(folder);
    if (folder != "/")
        path_ += '/';
    const size_t base = path_.size();
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(stream);
        if (!entry)
            break;
        if (isDotOrDotDot(entry->d_name))
            continue;
        path_.resize(base);
        path_.append(entry->d_name);
        if (isOtherVolumes(path_))
            continue;
        const auto st = FileStatus::at(folderFd, entry->d_name);
        if (!st) {
            ++errors_;
            continue;
        }
        if (st->device != rootDevice_ || !scope_.allows(path_, *st))
            continue;
        countEntry(folder);
        if (st->isDirectory())
            stack_.push_back(path_);
        else if (st->isRegular())
            rank(*st, entry->d_name);
    }
    if (errno != 0)
        ++errors_;
}

void Scanner::countEntry(const std::string& folder)
{
    ++entries_;
    if (entries_ != 1 && entries_ % 128 != 0)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (lastTick_ && now - *lastTick_ <= tickInterval)
        return;
    lastTick_ = now;
    const uint64_t percent = std::min<uint64_t>(99, static_cast<uint64_t>(entries_) * 100 / divisor_);
    const Tick tick {std::string(scope_.visible(folder)), entries_, files_, errors_, static_cast<int64_t>(percent)};
    Output::write(progressFd_, Wire::serialize(tick) + "\n");
}

void Scanner::rank(const FileStatus& st, std::string_view name)
{
    ++files_;
    const unsigned accepting = ranking_.acceptingFile(name, st.size, path_);
    if (!accepting)
        return;
    ranking_.add(accepting, {path_, st.size, Worker::signature(st), Worker::mode(scope_, path_, st)});
}
