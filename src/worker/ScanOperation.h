#pragma once

#include "shared/DiskScope.h"

#include <nlohmann/json_fwd.hpp>

namespace Worker {
// The whole scan operation: walk, capacity, report file and result. Throws Failure,
// TrashProblem or PosixError.
nlohmann::json scan(const DiskScope& scope);
}
