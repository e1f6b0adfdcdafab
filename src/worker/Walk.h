#pragma once

#include "shared/DiskScope.h"
#include "shared/platform/UniqueFd.h"
#include "worker/DescriptorBudget.h"
#include "worker/FolderStack.h"
#include "worker/Ranking.h"
#include "worker/ScanProgress.h"
#include "worker/ScanSettings.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <mutex>
#include <string>
#include <unordered_set>

class FolderNode;

// The walk of one scan root by a pool of reading threads, and what they share: the folders
// still to read, the descriptors of read folders that subfolders are opened relative to,
// the set of folders already read, the scope check and the first failure.
class Walk {
public:
    Walk(const DiskScope& scope, const ScanSettings& settings, ScanProgress& progress, const std::string& root,
         const FileStatus& rootStatus);

    // Reads every folder of the root and adds its files to `ranking`. Throws the first
    // failure of any thread once all have stopped.
    void run(Ranking& ranking);
    std::unordered_set<uint64_t> takeReadFolders() { return std::move(readFolders_); }

    // For the reading threads.
    const DiskScope& scope() const { return scope_; }
    const ScanSettings& settings() const { return settings_; }
    ScanProgress& progress() { return progress_; }
    FolderStack& stack() { return stack_; }
    DescriptorBudget& budget() { return budget_; }
    int32_t rootDevice() const { return rootDevice_; }
    uint64_t rootMount() const { return rootMount_; }
    bool stopped() const { return stopped_.load(std::memory_order_relaxed); }
    uint64_t nextSerial() { return serial_.fetch_add(1, std::memory_order_relaxed); }

    // Throws Failure when the scope went away; looks at most every 50 ms.
    void checkScope();
    // Opens a waiting folder relative to its parent, which no longer needs its descriptor
    // when this was its last waiting subfolder. `error` is set when it returns no descriptor.
    UniqueFd open(const PendingFolder& folder, int& error);
    // Tells the parent of a waiting folder that will not be opened not to wait for it.
    void abandon(const PendingFolder& folder);
    // Whether an opened folder is the one examined: same device, mount and inode.
    bool isExamined(const FileStatus& opened, uint64_t inode) const;
    // True the first time a folder's inode is offered.
    bool firstRead(uint64_t inode);
    void fail(std::exception_ptr failure);

private:
    UniqueFd reopen(FolderNode& node);
    void finishChild(FolderNode& parent);
    void readWith(unsigned threads, Ranking& ranking);

    const DiskScope& scope_;
    const ScanSettings& settings_;
    ScanProgress& progress_;
    const std::string root_;
    const uint64_t rootInode_;
    const int32_t rootDevice_;
    const uint64_t rootMount_;
    FolderStack stack_;
    DescriptorBudget budget_;
    std::atomic<uint64_t> serial_ {1};
    std::atomic<int64_t> lastCheck_;
    std::atomic<bool> stopped_ {false};
    std::mutex lock_;
    std::unordered_set<uint64_t> readFolders_;
    std::exception_ptr failure_;
};
