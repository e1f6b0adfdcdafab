#pragma once

#include "shared/platform/Mount.h"

#include <optional>
#include <string>
#include <vector>

namespace Volumes {
// Every mount of this process's mount table, in table order. Throws PosixError when the
// table cannot be read.
std::vector<Mount> all();
// The mount that holds an existing path: the longest mount point above it whose device is
// the path's own (the last such mount when several are stacked). Throws PosixError when the
// path cannot be examined or the table cannot be read.
Mount containing(const std::string& path);
// The file system's label, or "" when it has none.
std::string label(const Mount& mount);
}
