#include "FolderNode.h"

#include <cstring>
#include <unistd.h>

FolderNode::FolderNode(FolderNode* up, std::string_view name, uint64_t inode, uint64_t serial,
                       std::string_view childNames, size_t children)
    : waiting(children), up_(up), name_(name), inode_(inode), serial_(serial),
      childNames_(new char[childNames.size()]), references_(children)
{
    std::memcpy(childNames_.get(), childNames.data(), childNames.size());
}

// A walk that stopped early leaves descriptors behind that no subfolder came for.
FolderNode::~FolderNode()
{
    if (fd >= 0)
        close(fd);
}

void FolderNode::release(FolderNode* node)
{
    while (node && node->references_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        FolderNode* const up = node->up_;
        delete node;
        node = up;
    }
}
