#pragma once

#include "shared/DiskScope.h"
#include "shared/platform/UniqueFd.h"

#include <string>

// A report about to be written: the reports folder, held open, and the new file's name in it.
struct ReportFile {
    UniqueFd folder;
    std::string name;
    std::string path;
};

namespace Worker {
// Checks the data folder, creates the reports folder (0700) where missing and names a new
// report file in it (the file itself is not created). Every folder from "/" down is opened
// without following a link, so nothing is ever written through a folder swapped for a link.
// Throws TrashProblem or PosixError.
ReportFile report(const DiskScope& scope, const std::string& title);
// The existing reports folder, reached the same way; invalid, with errno, when it cannot be.
UniqueFd openReports(const DiskScope& scope);
}
