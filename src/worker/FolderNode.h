#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string_view>

// A folder whose listing found subfolders. It stores their names, and its descriptor while
// they still wait to be opened relative to it. A node stays alive while a descendant may
// still rebuild its path or reopen a descriptor through it.
class FolderNode {
public:
    // `up` is null for the scan root, whose name is its whole path. The node starts with
    // one reference per waiting subfolder.
    FolderNode(FolderNode* up, std::string_view name, size_t pathLength, uint64_t inode, uint64_t serial,
               bool inProvider, std::string_view childNames, size_t children);
    FolderNode(const FolderNode&) = delete;
    FolderNode& operator=(const FolderNode&) = delete;

    FolderNode* up() const { return up_; }
    std::string_view name() const { return name_; }
    // How far below the scan root it is, and the length of its whole path.
    size_t depth() const { return depth_; }
    size_t pathLength() const { return pathLength_; }
    uint64_t inode() const { return inode_; }
    // Unique for the whole scan, unlike the node's address, which a later node may reuse.
    uint64_t serial() const { return serial_; }
    // Whether it lies in a cloud-provider folder, for its subfolders to start from.
    bool inProvider() const { return inProvider_; }
    // The names of the subfolders, one after another; each waiting subfolder points here.
    const char* childNames() const { return childNames_.get(); }

    std::mutex& lock() { return lock_; }
    // Guarded by lock(): the open descriptor or -1, and how many subfolders still need it.
    int fd = -1;
    size_t waiting = 0;
    // Neighbours among the nodes that keep a descriptor, guarded by the budget.
    FolderNode* olderKept = nullptr;
    FolderNode* newerKept = nullptr;

    // Drops one reference, freeing the node and then each ancestor that nothing holds.
    static void release(FolderNode* node);

private:
    ~FolderNode() = default;

    FolderNode* const up_;
    const std::string_view name_;
    const size_t depth_;
    const size_t pathLength_;
    const uint64_t inode_;
    const uint64_t serial_;
    const bool inProvider_;
    std::unique_ptr<char[]> childNames_;
    std::atomic<size_t> references_;
    std::mutex lock_;
};
