#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The process's resident memory in bytes, or nothing when the system does not say.
std::optional<std::uint64_t> memoryFootprint();
// The resident size a /proc/<pid>/status text reports on its VmRSS line.
std::optional<std::uint64_t> residentBytes(const QString& status);
// "Memory use: N MB" in whole decimal megabytes, or the text for an unknown footprint.
QString memoryUseText(std::optional<std::uint64_t> footprint);
