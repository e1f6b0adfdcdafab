#pragma once

// The records exchanged between the application and the worker. The worker writes them,
// the application reads them; both use these encodings.
//
// Paths are held as their exact bytes. On the wire a path is readable text (bytes that are
// not UTF-8 become U+FFFD); a path that is not UTF-8 also travels exactly, as Base64 under
// the key's name + "Base64" (rawBase64, approvedBase64, removedBase64), which older readers
// ignore.

#include "shared/Stamp.h"

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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

// `groups` holds labels of RowGroups.
struct Row {
    std::string raw;
    std::string path;
    int64_t bytes = 0;
    Stamp signature;
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

// The reviewed rows as the application writes them. The worker reads back only each row's
// path and stamp: a row without them is passed over, and other keys are ignored.
struct Deletion {
    std::string report;
    std::vector<Row> rows;
    std::vector<std::string> approved;
};

struct ResultInfo {
    // A message for a file that was left in place starts with this.
    static constexpr std::string_view skippedPrefix = "Skipped: ";

    Usage before;
    Usage after;
    std::vector<std::string> removed;
    int64_t deleted = 0;
    std::vector<std::string> messages;
    // Set when the deletion log could not be written whole: the error's description.
    std::string reportIncomplete;
};

struct Verification {
    bool ok = false;
    std::string report;
    // False when nothing could be checked (no checker, authentication cancelled or refused):
    // such a run is no verdict, so ok is false too. Optional on the wire, true when missing.
    bool checked = true;
    // What the check found or why it could not run, in one or two sentences; may be empty.
    std::string summary;
};

// Strict readers: every key with its type, integers in range and never fractional, no NUL in
// any string. They throw DecodingError, and nothing else.
void to_json(nlohmann::json& json, const Tick& tick);
void from_json(const nlohmann::json& json, Tick& tick);
void to_json(nlohmann::json& json, const Usage& usage);
void from_json(const nlohmann::json& json, Usage& usage);
void to_json(nlohmann::json& json, const Scan& scan);
void from_json(const nlohmann::json& json, Scan& scan);
void to_json(nlohmann::json& json, const Verification& verification);
void from_json(const nlohmann::json& json, Verification& verification);
void to_json(nlohmann::json& json, const Row& row);
void from_json(const nlohmann::json& json, Row& row);
void to_json(nlohmann::json& json, const Deletion& deletion);
void from_json(const nlohmann::json& json, Deletion& deletion);
void to_json(nlohmann::json& json, const ResultInfo& info);
void from_json(const nlohmann::json& json, ResultInfo& info);

namespace Wire {
// Compact JSON; bytes that are not UTF-8 (file names may hold any) become U+FFFD so the
// output always stays valid JSON.
std::string serialize(const nlohmann::json& json);
// Exactly one JSON value, optionally surrounded by whitespace; nothing after it, not even
// after a NUL byte. Throws DecodingError.
nlohmann::json parse(std::string_view text);
// The bytes as the wire shows them: whatever is not UTF-8 becomes U+FFFD.
std::string readable(std::string_view bytes);

// A path under `key`: its readable text, plus its exact bytes under key + "Base64" when
// they are not UTF-8.
void putPath(nlohmann::json& object, const std::string& key, const std::string& bytes);
// The exact bytes of the path under `key`; none when the key holds no string. Throws
// DecodingError for a NUL byte, or a companion that is not Base64 of bytes that read as the
// text.
std::optional<std::string> path(const nlohmann::json& object, const std::string& key);
// The same for an array of paths, with one array of Base64 companions for all of them;
// none when the key holds no array of strings.
void putPaths(nlohmann::json& object, const std::string& key, const std::vector<std::string>& paths);
std::optional<std::vector<std::string>> paths(const nlohmann::json& object, const std::string& key);
}
