#pragma once

#include "DiskScope.h"

#include <nlohmann/json.hpp>

namespace Worker {
// Checks the file system that holds the scope and keeps the checker's output as a report.
nlohmann::json verify(const DiskScope& scope);
}
