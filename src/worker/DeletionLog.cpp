#include "worker/DeletionLog.h"

#include "shared/PosixError.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::string_view skippedPrefix = "Skipped: ";
// A pending line is a path past its prefix; no path is longer than this.
constexpr off_t longestLine = 1 << 16;

void writeAllAt(int fd, std::string_view bytes, off_t at)
{
    while (!bytes.empty()) {
        const ssize_t wrote = pwrite(fd, bytes.data(), bytes.size(), at);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            throw PosixError(wrote < 0 ? errno : EIO);
        bytes.remove_prefix(static_cast<size_t>(wrote));
        at += wrote;
    }
}

}

DeletionLog::DeletionLog(UniqueFd report) : report_(std::move(report))
{
    // Lines are written at known places, so that a pending one can be turned in place.
    const int flags = fcntl(report_.get(), F_GETFL);
    end_ = lseek(report_.get(), 0, SEEK_END);
    if (flags < 0 || fcntl(report_.get(), F_SETFL, flags & ~O_APPEND) != 0 || end_ < 0)
        throw PosixError(errno);
    readLastLine();
}

void DeletionLog::readLastLine()
{
    const off_t start = std::max<off_t>(0, end_ - longestLine);
    std::string tail(static_cast<size_t>(end_ - start), '\0');
    if (pread(report_.get(), tail.data(), tail.size(), start) != static_cast<ssize_t>(tail.size()))
        throw PosixError(errno ? errno : EIO);
    const size_t feed = tail.rfind('\n');
    if (feed == std::string::npos || tail.compare(feed + 1, pendingPrefix.size(), pendingPrefix) != 0)
        return;
    interrupted_ = tail.substr(feed + 1 + pendingPrefix.size());
    pending_ = Pending {start + static_cast<off_t>(feed), interrupted_->size(), false};
}

void DeletionLog::append(std::string_view text)
{
    try {
        writeAllAt(report_.get(), text, end_);
    } catch (const PosixError& error) {
        if (ftruncate(report_.get(), end_) != 0) {
            // The error of the write is the one to tell; the partial line stays.
        }
        if (failure_.empty())
            failure_ = error.description();
        throw;
    }
    end_ += static_cast<off_t>(text.size());
}

void DeletionLog::overwrite(off_t at, std::string_view text)
{
    try {
        writeAllAt(report_.get(), text, at);
    } catch (const PosixError& error) {
        if (failure_.empty())
            failure_ = error.description();
        throw;
    }
}

void DeletionLog::intend(std::string_view shown)
{
    const off_t line = end_;
    append("\n" + std::string(pendingPrefix) + std::string(shown));
    pending_ = Pending {line, shown.size(), false};
}

void DeletionLog::abandon()
{
    if (!pending_ || pending_->abandoned)
        return;
    overwrite(pending_->line + 1, skippedPrefix);
    pending_->abandoned = true;
}

void DeletionLog::record(std::string_view message)
{
    if (!pending_) {
        append("\n" + std::string(message));
        return;
    }
    const Pending pending = *pending_;
    const bool deleted = message.starts_with(deletedPrefix);
    if (!deleted)
        abandon();
    pending_.reset();
    interrupted_.reset();
    if (deleted) {
        overwrite(pending.line + 1, deletedPrefix);
        return;
    }
    const size_t reason = std::min(message.size(), skippedPrefix.size() + pending.shownLength);
    if (reason < message.size())
        append(message.substr(reason));
}

void DeletionLog::keepUnsettled()
{
    pending_.reset();
    interrupted_.reset();
}
