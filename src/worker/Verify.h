#pragma once

#include "shared/DiskScope.h"

#include <nlohmann/json_fwd.hpp>

namespace Worker {
// Checks the file system that holds the scope and keeps the checker's output as a report.
nlohmann::json verify(const DiskScope& scope);
}
