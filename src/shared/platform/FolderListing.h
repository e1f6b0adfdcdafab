#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// Lists an open folder in large batches, "." and ".." left out, in the folder's own order or,
// within each batch, in inode order: with cold caches the file system then reads its inode
// tables front to back instead of jumping about. The buffer is kept between folders, so
// listing allocates nothing once warm.
class FolderListing {
public:
    struct Entry {
        const char* name;
        size_t length;
        uint64_t inode;

        std::string_view view() const { return {name, length}; }
    };

    enum class Order { folder, inode };

    explicit FolderListing(Order order);

    // Reads the folder's next batch. False at its end or when the read failed; error() tells
    // which (0 at the end, else the errno).
    bool next(int folderFd);
    // The batch last read; the names stay valid until the next call.
    const std::vector<Entry>& batch() const { return batch_; }
    int error() const { return error_; }

private:
    Order order_;
    std::unique_ptr<char[]> buffer_;
    std::vector<Entry> batch_;
    int error_ = 0;
};
