#pragma once

#include <cstdint>
#include <string_view>

class FolderNode;

// A folder met in a listing and not read yet: its name inside its parent's node (or, for a
// scan root, its whole path and no parent), and the inode its examination found.
struct PendingFolder {
    FolderNode* parent = nullptr;
    std::string_view name;
    uint64_t inode = 0;
};
