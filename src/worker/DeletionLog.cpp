#include "worker/DeletionLog.h"

#include "shared/PosixError.h"
#include "shared/platform/WriteAll.h"

#include <cerrno>
#include <unistd.h>

DeletionLog::DeletionLog(UniqueFd report) : report_(std::move(report))
{
    end_ = lseek(report_.get(), 0, SEEK_END);
    if (end_ < 0)
        throw PosixError(errno);
}

void DeletionLog::append(std::string_view text)
{
    try {
        writeAll(report_.get(), text);
    } catch (const PosixError&) {
        if (ftruncate(report_.get(), end_) != 0) {
            // The error of the write is the one to tell; the partial line stays.
        }
        throw;
    }
    end_ += static_cast<off_t>(text.size());
}
