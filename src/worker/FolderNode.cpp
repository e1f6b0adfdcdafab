#include "worker/FolderNode.h"

#include <cstring>

FolderNode::FolderNode(FolderNode* up, std::string_view name, size_t pathLength, uint64_t inode, uint64_t serial,
                       bool inProvider, std::string_view childNames, size_t children)
    : waiting(children), up_(up), name_(name), depth_(up ? up->depth() + 1 : 0), pathLength_(pathLength),
      inode_(inode), serial_(serial), inProvider_(inProvider),
      childNames_(new char[childNames.size()]), references_(children)
{
    std::memcpy(childNames_.get(), childNames.data(), childNames.size());
}

void FolderNode::release(FolderNode* node)
{
    while (node && node->references_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        FolderNode* const up = node->up_;
        delete node;
        node = up;
    }
}
