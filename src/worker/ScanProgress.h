#pragma once

#include "shared/DiskScope.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string_view>

// The counters of a whole scan, which the reading threads add to in batches, and the
// progress lines: one at the first entry, then at most one per 0.65 seconds when the
// count of entries passes a multiple of 128.
class ScanProgress {
public:
    static constexpr int64_t step = 128;

    ScanProgress(const DiskScope& scope, int fd);

    // The estimate that percentages are taken of, for the scan root being walked.
    void setDivisor(uint64_t divisor) { divisor_ = divisor; }
    // Adds a thread's counts since its last call; `folder` is the folder it is reading.
    // Throws the write error of a progress line.
    void add(int64_t entries, int64_t files, int64_t errors, std::string_view folder);

    int64_t entries() const { return entries_.load(); }
    int64_t files() const { return files_.load(); }
    int64_t errors() const { return errors_.load(); }

private:
    void tick(int64_t entries, int64_t files, int64_t errors, std::string_view folder);

    const DiskScope& scope_;
    const int fd_;
    uint64_t divisor_ = 1;
    // Entries are always added before the files and errors of the same batch, so files
    // never run ahead of entries.
    std::atomic<int64_t> entries_ {0};
    std::atomic<int64_t> files_ {0};
    std::atomic<int64_t> errors_ {0};
    std::mutex tickLock_;
    int64_t lastTicked_ = 0;
    std::optional<std::chrono::steady_clock::time_point> lastTick_;
};
