#include "app/operations/DeletionReport.h"

#include "shared/platform/FileStatus.h"
#include "shared/platform/UniqueFd.h"

#include <cerrno>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace {

constexpr std::string_view deletedPrefix = "Deleted: ";

UniqueFd openReport(const std::string& path)
{
    return UniqueFd(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
}

std::optional<std::string> readFrom(int fd, int64_t start, int64_t end)
{
    std::string text(static_cast<size_t>(end - start), '\0');
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = pread(fd, text.data() + done, text.size() - done, static_cast<off_t>(start + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return std::nullopt;
        done += static_cast<size_t>(got);
    }
    return text;
}

}

DeletionReport::DeletionReport(std::string path) : path_(std::move(path))
{
    const UniqueFd report = openReport(path_);
    const auto st = report ? FileStatus::ofDescriptor(report.get()) : std::nullopt;
    if (st && st->isRegular())
        mark_ = Mark {st->device, st->inode, st->size};
}

// Only the same file, grown since the mark: a report replaced or cut back tells nothing.
std::optional<std::string> DeletionReport::writtenSinceMark() const
{
    if (!mark_)
        return std::nullopt;
    const UniqueFd report = openReport(path_);
    const auto st = report ? FileStatus::ofDescriptor(report.get()) : std::nullopt;
    if (!st || !st->isRegular() || st->device != mark_->device || st->inode != mark_->inode || st->size < mark_->end)
        return std::nullopt;
    return readFrom(report.get(), mark_->end, st->size);
}

// Each processed row adds one line, in the order of the rows, so a deleted line is matched
// with the next row it names and never with one before it.
DeletionReport::Outcome DeletionReport::outcome(const std::vector<Row>& rows, const DiskScope& scope) const
{
    Outcome outcome;
    const auto written = writtenSinceMark();
    if (!written)
        return outcome;
    size_t next = 0;
    std::string_view rest = *written;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.starts_with(ResultInfo::skippedPrefix))
            outcome.lines.emplace_back(line);
        if (!line.starts_with(deletedPrefix))
            continue;
        outcome.lines.emplace_back(line);
        const std::string_view shown = line.substr(deletedPrefix.size());
        for (size_t i = next; i < rows.size(); ++i) {
            if (scope.visible(rows[i].raw) == shown) {
                outcome.removed.push_back(rows[i].raw);
                next = i + 1;
                break;
            }
        }
    }
    return outcome;
}
