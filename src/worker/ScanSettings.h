#pragma once

#include <functional>
#include <string_view>

// How a scan walks: how many threads read folders at once, and a hook that runs between a
// folder's examination in its parent's listing and its opening, where tests change the tree.
struct ScanSettings {
    static constexpr unsigned defaultThreads = 8;
    static constexpr unsigned maximumThreads = 64;

    unsigned threads = defaultThreads;
    std::function<void(std::string_view folder)> beforeOpen;

    // The default, or DELVER_SCAN_THREADS (1 to 64) where benchmarks set it.
    static ScanSettings fromEnvironment();
};
