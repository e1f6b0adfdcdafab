#include "Walk.h"

#include "Failure.h"
#include "FolderNode.h"
#include "FolderOpen.h"
#include "FolderReader.h"

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr std::chrono::nanoseconds scopeCheckInterval = std::chrono::milliseconds(50);

int64_t monotonicNow()
{
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

}

Walk::Walk(const DiskScope& scope, const ScanSettings& settings, ScanProgress& progress, const std::string& root,
           const FileStatus& rootStatus)
    : scope_(scope), settings_(settings), progress_(progress), root_(root), rootInode_(rootStatus.inode),
      rootDevice_(rootStatus.device), rootMount_(rootStatus.mountId), budget_(settings.threads),
      lastCheck_(monotonicNow() - scopeCheckInterval.count())
{
}

void Walk::run(Ranking& ranking)
{
    const PendingFolder root {nullptr, root_, rootInode_};
    stack_.push(&root, 1);
    readWith(budget_.threads(), ranking);
    for (const PendingFolder& left : stack_.drain())
        FolderNode::release(left.parent);
    if (failure_)
        std::rethrow_exception(failure_);
}

void Walk::readWith(unsigned threads, Ranking& ranking)
{
    std::vector<std::unique_ptr<FolderReader>> readers;
    for (unsigned i = 0; i < threads; ++i)
        readers.push_back(std::make_unique<FolderReader>(*this));
    std::vector<std::thread> pool;
    for (unsigned i = 1; i < threads; ++i) {
        try {
            pool.emplace_back(&FolderReader::run, readers[i].get());
        } catch (const std::system_error&) {
            // Fewer threads than asked for read the same folders.
            break;
        }
    }
    readers[0]->run();
    for (std::thread& thread : pool)
        thread.join();
    for (const auto& reader : readers)
        ranking.absorb(reader->ranking());
}

void Walk::checkScope()
{
    const int64_t now = monotonicNow();
    int64_t last = lastCheck_.load(std::memory_order_relaxed);
    if (now - last < scopeCheckInterval.count() || !lastCheck_.compare_exchange_strong(last, now))
        return;
    if (!scope_.valid())
        throw Failure("The selected disk was disconnected or replaced.");
}

UniqueFd Walk::open(const PendingFolder& folder, int& error)
{
    if (!folder.parent) {
        UniqueFd fd = FolderOpen::root(root_);
        error = errno;
        return fd;
    }
    FolderNode& parent = *folder.parent;
    std::lock_guard guard(parent.lock());
    UniqueFd reopened;
    int from = parent.fd;
    if (from < 0) {
        reopened = reopen(parent);
        if (reopened && budget_.keep())
            parent.fd = reopened.release();
        from = parent.fd >= 0 ? parent.fd : reopened.get();
    }
    UniqueFd fd = from >= 0 ? FolderOpen::child(from, folder.name.data()) : UniqueFd();
    error = errno;
    if (--parent.waiting == 0 && parent.fd >= 0) {
        close(parent.fd);
        parent.fd = -1;
        budget_.give();
    }
    return fd;
}

// Opens a read folder again whose descriptor was not kept: from the nearest ancestor that
// kept one, or from the scan root's path, and only if it is still the folder that was read.
UniqueFd Walk::reopen(FolderNode& node)
{
    std::vector<std::string_view> names;
    FolderNode* at = &node;
    std::unique_lock<std::mutex> anchorLock;
    int anchor = -1;
    while (at->up()) {
        names.push_back(at->name());
        at = at->up();
        std::unique_lock lock(at->lock());
        if (at->fd >= 0) {
            anchor = at->fd;
            anchorLock = std::move(lock);
            break;
        }
    }
    UniqueFd top;
    if (anchor < 0) {
        top = FolderOpen::root(root_);
        const auto status = top ? FileStatus::ofDescriptor(top.get()) : std::nullopt;
        if (!status || !isExamined(*status, rootInode_)) {
            errno = top ? ESTALE : errno;
            return {};
        }
        anchor = top.get();
    }
    std::reverse(names.begin(), names.end());
    UniqueFd fd = names.empty() ? std::move(top) : FolderOpen::descend(anchor, names);
    if (!fd)
        return {};
    const auto status = FileStatus::ofDescriptor(fd.get());
    if (!status || !isExamined(*status, node.inode())) {
        errno = ESTALE;
        return {};
    }
    return fd;
}

bool Walk::isExamined(const FileStatus& opened, uint64_t inode) const
{
    return opened.isDirectory() && opened.device == rootDevice_ && opened.mountId == rootMount_
           && opened.inode == inode;
}

bool Walk::firstRead(uint64_t inode)
{
    std::lock_guard guard(lock_);
    return readFolders_.insert(inode).second;
}

void Walk::fail(std::exception_ptr failure)
{
    {
        std::lock_guard guard(lock_);
        if (!failure_)
            failure_ = failure;
    }
    stopped_ = true;
    stack_.stop();
}
