#pragma once

#include "shared/DiskScope.h"
#include "shared/platform/UniqueFd.h"

#include <string>
#include <string_view>

// A report about to be written: the reports folder, held open, and the new file's name in it.
struct ReportFile {
    UniqueFd folder;
    std::string name;
    std::string path;
};

namespace Worker {
// How every scan report's name starts; the removal appends only to reports named so.
inline constexpr std::string_view scanReportPrefix = "Disk scan ";

// Checks the data folder, creates the reports folder (0700) where missing and names a new
// report file in it, `prefix` then the time and a unique suffix (the file itself is not created). Every folder from "/" down is opened
// without following a link, so nothing is ever written through a folder swapped for a link.
// Throws TrashProblem or PosixError.
ReportFile report(const DiskScope& scope, std::string_view prefix);
// The existing reports folder, reached the same way; invalid, with errno, when it cannot be.
UniqueFd openReports(const DiskScope& scope);
}
