#pragma once

#include "shared/DiskScope.h"
#include "shared/Wire.h"

namespace Worker {
// Capacity, used and free bytes of the scope's file system. Throws Failure.
Usage usage(const DiskScope& scope);
}
