#pragma once

// The records exchanged between the application and the worker. The worker writes them,
// the application reads them; both use these encodings.

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>
#include <vector>

struct Tick {
    std::string folder;
    int64_t entries = 0;
    int64_t files = 0;
    int64_t errors = 0;
    int64_t percent = 0;
    friend bool operator==(const Tick&, const Tick&) = default;
};

struct Usage {
    uint64_t capacity = 0;
    uint64_t used = 0;
    uint64_t free = 0;
    friend bool operator==(const Usage&, const Usage&) = default;
};

struct Row {
    std::string raw;
    std::string path;
    int64_t bytes = 0;
    std::vector<std::string> signature;
    bool allowed = false;
    bool unlockable = false;
    std::vector<std::string> groups;
    friend bool operator==(const Row&, const Row&) = default;
};

struct Scan {
    std::vector<Row> rows;
    int64_t count = 0;
    int64_t errors = 0;
    Usage usage;
    std::string report;
};

struct Deletion {
    std::string report;
    std::vector<Row> rows;
    std::vector<std::string> approved;
};

struct ResultInfo {
    Usage before;
    Usage after;
    std::vector<std::string> removed;
    int64_t deleted = 0;
    std::vector<std::string> messages;
};

struct Verification {
    bool ok = false;
    std::string report;
};

NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Tick, folder, entries, files, errors, percent)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Usage, capacity, used, free)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Row, raw, path, bytes, signature, allowed, unlockable, groups)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Scan, rows, count, errors, usage, report)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Deletion, report, rows, approved)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(ResultInfo, before, after, removed, deleted, messages)
NLOHMANN_DEFINE_TYPE_NON_INTRUSIVE(Verification, ok, report)

namespace Wire {
// Compact JSON; bytes that are not UTF-8 (file names may hold any) become U+FFFD so the
// output always stays valid JSON.
std::string serialize(const nlohmann::json& json);
}
