#pragma once

#include "DiskScope.h"
#include "Ranking.h"
#include "Wire.h"

#include <chrono>
#include <cstdint>
#include <dirent.h>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

// One walk of a scope: counts its entries, ranks its largest files and reports progress.
class Scanner {
public:
    Scanner(const DiskScope& scope, int progressFd);

    // Walks every scan root. Throws Failure when the scope goes away.
    void walk();

    int64_t files() const { return files_; }
    int64_t errors() const { return errors_; }
    const Ranking& ranking() const { return ranking_; }

private:
    void walkRoot(const std::string& root);
    void readFolder(const std::string& folder);
    void readEntries(DIR* stream, const std::string& folder);
    void rank(const FileStatus& st, std::string_view name);
    void countEntry(const std::string& folder);

    const DiskScope& scope_;
    const int progressFd_;
    Ranking ranking_;
    int64_t entries_ = 0;
    int64_t files_ = 0;
    int64_t errors_ = 0;
    uint64_t estimate_ = 0;
    uint64_t divisor_ = 1;
    int32_t rootDevice_ = 0;
    std::vector<std::string> stack_;
    std::unordered_set<uint64_t> readFolders_;
    std::optional<std::chrono::steady_clock::time_point> lastTick_;
    // The path of the entry being examined; reused so the per-entry loop does not allocate.
    std::string path_;
};
