#pragma once

#include "shared/platform/UniqueFd.h"

#include <string_view>

// Folders reached from an open folder without following a link anywhere on the way and never
// through "..": the descriptor chain that removals, reports and the Trash act through. On
// failure the descriptor is invalid and errno tells why (ELOOP for a link, EXDEV for a mount).
namespace FolderChain {
// The folder at the absolute `path`, from "/" on; mounts on the way are crossed.
UniqueFd openAbsolute(std::string_view path);
// The folder at `relative` below `from` ("" is `from` itself); mounts on the way are crossed.
UniqueFd open(int from, std::string_view relative);
// The same, but never into another mount, bind mounts of the same file system included.
UniqueFd openOnMount(int from, std::string_view relative);
// The folder `name` (one component, NUL-terminated) in `from`, on its mount. Allocates
// nothing, for walks that open every folder they meet.
UniqueFd openChild(int from, const char* name);
}
