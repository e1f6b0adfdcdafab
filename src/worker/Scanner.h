#pragma once

#include "shared/DiskScope.h"
#include "worker/Ranking.h"
#include "worker/ScanProgress.h"
#include "worker/ScanSettings.h"

#include <cstdint>
#include <string>
#include <unordered_set>

// One walk of a scope: counts its entries, ranks its largest files and reports progress.
// The folders of each scan root are read by a pool of threads; the result does not depend
// on how many.
class Scanner {
public:
    // Settings from the environment.
    Scanner(const DiskScope& scope, int progressFd);
    Scanner(const DiskScope& scope, int progressFd, ScanSettings settings);

    // Walks every scan root. Throws Failure when the scope goes away.
    void walk();

    int64_t entries() const { return progress_.entries(); }
    int64_t files() const { return progress_.files(); }
    int64_t errors() const { return progress_.errors(); }
    const Ranking& ranking() const { return ranking_; }
    // The inodes of the folders read under the last scan root.
    const std::unordered_set<uint64_t>& readFolders() const { return readFolders_; }

private:
    void walkRoot(const std::string& root);

    const DiskScope& scope_;
    const ScanSettings settings_;
    ScanProgress progress_;
    Ranking ranking_;
    uint64_t estimate_ = 0;
    std::unordered_set<uint64_t> readFolders_;
};
