#pragma once

#include "shared/platform/FolderListing.h"
#include "shared/platform/UniqueFd.h"
#include "worker/PendingFolder.h"
#include "worker/Ranking.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class FolderNode;
class Walk;
struct FileStatus;

// One reading thread of a walk: takes waiting folders, lists each with its own buffer,
// examines every entry relative to the open folder, ranks files in a ranking of its own and
// hands subfolders back to the walk. After warming up it allocates nothing per entry.
class FolderReader {
public:
    explicit FolderReader(Walk& walk);

    // Reads folders until the walk is over or stopped.
    void run();
    const Ranking& ranking() const { return ranking_; }

private:
    struct Subfolder {
        size_t nameOffset;
        size_t nameLength;
        uint64_t inode;
    };

    void read(const PendingFolder& folder);
    void setFolderPath(const PendingFolder& folder);
    void setProvider(const PendingFolder& folder);
    void list(int fd);
    void examine(int fd, const FolderListing::Entry& entry);
    void rank(int fd, const FileStatus& st, std::string_view name);
    void handOver(const PendingFolder& folder, UniqueFd& fd);
    void flush();

    Walk& walk_;
    Ranking ranking_;
    FolderListing listing_;
    // The folder being read; while its entries are examined, the entry being examined.
    std::string folderPath_;
    size_t folderLength_ = 0;
    size_t entryBase_ = 0;
    std::string_view folderName_;
    bool inProvider_ = false;
    bool mayHoldVolumes_ = false;
    // The serials of the nodes whose paths folderPath_ starts with, by depth.
    std::vector<uint64_t> chain_;
    std::vector<const FolderNode*> climb_;
    // Subfolders of the folder being read: names one after another, each ending in NUL.
    std::vector<Subfolder> subfolders_;
    std::string subfolderNames_;
    std::vector<PendingFolder> handed_;
    // Counts not yet added to the walk's progress.
    int64_t entries_ = 0;
    int64_t files_ = 0;
    int64_t errors_ = 0;
};
