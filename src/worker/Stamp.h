#pragma once

#include "shared/platform/FileStatus.h"

#include <string>
#include <vector>

namespace Worker {
// Device, inode, size, and modification and change time (seconds, nanoseconds), as
// decimal text: equal stamps mean the very same, unchanged file.
std::vector<std::string> signature(const FileStatus& st);
}
