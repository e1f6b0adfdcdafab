#pragma once

#include "platform/UniqueFd.h"

#include <string>
#include <string_view>
#include <vector>

// Opening folders for reading without following a link and, below a scan root, without
// leaving the root's mount.
namespace FolderOpen {
// A scan root by its absolute path; no link anywhere on the path is followed.
UniqueFd root(const std::string& path);
// The folder `name` (NUL-terminated, one component) inside the open folder.
UniqueFd child(int folderFd, const char* name);
// The folder reached from the open folder through `names`, top first; paths longer than
// the system takes in one call are opened in pieces.
UniqueFd descend(int folderFd, const std::vector<std::string_view>& names);
}
