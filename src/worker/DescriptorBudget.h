#pragma once

#include "shared/platform/UniqueFd.h"

#include <cstddef>
#include <mutex>

class FolderNode;

// How many descriptors the walk may hold, from the process's limit, and which read folders
// hold them for their waiting subfolders. Each reading thread needs at most three at a
// time (the folder it reads, a parent it reopens, and one step of that reopening); the
// rest are kept by folders, the newest first, since the stack gives out their subfolders
// first.
class DescriptorBudget {
public:
    static constexpr size_t perThread = 3;
    static constexpr size_t mostKept = 1024;

    // Sizes the budget for up to `threads` threads from the descriptors still free.
    explicit DescriptorBudget(unsigned threads);

    unsigned threads() const { return threads_; }
    // How many more descriptors folders may keep.
    size_t room();
    // Lets the node keep the descriptor when there is room; the caller holds the node's lock.
    bool keep(FolderNode& node, UniqueFd& fd);
    // The same for a new node nobody else has seen, making room by closing the oldest kept
    // descriptor that no thread is using. The caller holds no node's lock.
    bool keepNewest(FolderNode& node, UniqueFd& fd);
    // Closes the node's kept descriptor; the caller holds the node's lock.
    void close(FolderNode& node);

private:
    void link(FolderNode& node, UniqueFd& fd);
    void unlink(FolderNode& node);

    unsigned threads_;
    size_t keepable_;
    std::mutex lock_;
    size_t kept_ = 0;
    FolderNode* oldest_ = nullptr;
    FolderNode* newest_ = nullptr;
};
