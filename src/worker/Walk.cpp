#include "worker/Walk.h"

#include "shared/platform/FolderChain.h"
#include "worker/Failure.h"
#include "worker/FolderNode.h"
#include "worker/FolderReader.h"

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
    for (const PendingFolder& left : stack_.drain()) {
        abandon(left);
        FolderNode::release(left.parent);
    }
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
        UniqueFd fd = FolderChain::openAbsolute(root_);
        error = errno;
        return fd;
    }
    FolderNode& parent = *folder.parent;
    std::lock_guard guard(parent.lock());
    UniqueFd reopened;
    if (parent.fd < 0) {
        reopened = reopen(parent);
        if (reopened)
            budget_.keep(parent, reopened);
    }
    const int from = parent.fd >= 0 ? parent.fd : reopened.get();
    UniqueFd fd = from >= 0 ? FolderChain::openChild(from, folder.name.data()) : UniqueFd();
    error = errno;
    finishChild(parent);
    return fd;
}

void Walk::abandon(const PendingFolder& folder)
{
    if (!folder.parent)
        return;
    std::lock_guard guard(folder.parent->lock());
    finishChild(*folder.parent);
}

void Walk::finishChild(FolderNode& parent)
{
    if (--parent.waiting == 0 && parent.fd >= 0)
        budget_.close(parent);
}

// Opens a read folder again whose descriptor was not kept, from the nearest ancestor that
// kept one or from the scan root's path, checking each folder on the way. Ancestors opened
// on the way that still have subfolders waiting keep their descriptors: the nearest half of
// the room for the subfolders given out next, the other half at even steps over the rest of
// the way, so that the next reopening starts from close by and a deep tree is not climbed
// from its top again and again. The caller holds the node's lock.
UniqueFd Walk::reopen(FolderNode& node)
{
    std::vector<FolderNode*> chain {&node};
    std::vector<std::unique_lock<std::mutex>> locks;
    int from = -1;
    for (FolderNode* at = node.up(); at; at = at->up()) {
        locks.emplace_back(at->lock());
        if (at->fd >= 0) {
            from = at->fd;
            break;
        }
        chain.push_back(at);
    }
    const size_t room = budget_.room();
    const size_t nearest = (room + 1) / 2;
    const size_t spacing = chain.size() / std::max<size_t>(room - nearest, 1) + 1;
    UniqueFd current;
    for (size_t i = chain.size(); i-- > 0;) {
        FolderNode& folder = *chain[i];
        UniqueFd fd = from < 0 ? FolderChain::openAbsolute(root_) : FolderChain::openChild(from, folder.name().data());
        if (!fd)
            return {};
        const auto status = FileStatus::ofDescriptor(fd.get());
        if (!status || !isExamined(*status, folder.inode())) {
            errno = ESTALE;
            return {};
        }
        if (i == 0)
            return fd;
        const bool marksTheWay = i <= nearest || i % spacing == 0;
        if (marksTheWay && folder.waiting > 0 && budget_.keep(folder, fd)) {
            from = folder.fd;
            current.reset();
        } else {
            current = std::move(fd);
            from = current.get();
        }
    }
    return {};
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
