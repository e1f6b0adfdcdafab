#pragma once

#include "DiskScope.h"

#include <string>

namespace Worker {
// Checks the data folder, creates the reports folder and names a new report file in it
// (the file itself is not created). Throws TrashProblem or PosixError.
std::string report(const DiskScope& scope, const std::string& title);
}
