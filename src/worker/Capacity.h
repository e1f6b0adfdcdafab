#pragma once

#include "DiskScope.h"
#include "Wire.h"

namespace Worker {
// Capacity, used and free bytes of the scope's file system. Throws Failure.
Usage usage(const DiskScope& scope);
}
