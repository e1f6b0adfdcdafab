#include "worker/ScanProgress.h"

#include "shared/Wire.h"
#include "shared/platform/WriteAll.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace {

constexpr auto tickInterval = std::chrono::milliseconds(650);

// The count a progress line may name within (before, after]: the first entry, or the
// multiple of the step that the batch passed; 0 when there is none.
int64_t mark(int64_t before, int64_t after)
{
    if (before == 0)
        return 1;
    if (after / ScanProgress::step > before / ScanProgress::step)
        return after / ScanProgress::step * ScanProgress::step;
    return 0;
}

}

ScanProgress::ScanProgress(const DiskScope& scope, int fd) : scope_(scope), fd_(fd) {}

void ScanProgress::add(int64_t entries, int64_t files, int64_t errors, std::string_view folder)
{
    // Taken before this batch's entries are added, so both are at most the entries before it.
    const int64_t filesSoFar = files_.load();
    const int64_t errorsSoFar = errors_.load();
    const int64_t before = entries > 0 ? entries_.fetch_add(entries) : 0;
    if (files > 0)
        files_.fetch_add(files);
    if (errors > 0)
        errors_.fetch_add(errors);
    if (entries == 0)
        return;
    if (const int64_t at = mark(before, before + entries))
        tick(at, filesSoFar, errorsSoFar, folder);
}

void ScanProgress::tick(int64_t entries, int64_t files, int64_t errors, std::string_view folder)
{
    std::lock_guard guard(tickLock_);
    if (entries <= lastTicked_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (lastTick_ && now - *lastTick_ <= tickInterval)
        return;
    lastTick_ = now;
    lastTicked_ = entries;
    const uint64_t percent = std::min<uint64_t>(99, static_cast<uint64_t>(entries) * 100 / divisor_);
    const Tick line {std::string(scope_.visible(folder)), entries, files, errors, static_cast<int64_t>(percent)};
    writeAll(fd_, Wire::serialize(line) + "\n");
}
