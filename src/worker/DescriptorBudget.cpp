#include "worker/DescriptorBudget.h"

#include "worker/FolderNode.h"

#include <algorithm>
#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Descriptors kept free for the rest of the run: the report file, and the libraries and
// files the system may open on the way.
constexpr size_t reserve = 8;

size_t openDescriptors()
{
    DIR* folder = opendir("/proc/self/fd");
    if (!folder)
        return reserve;
    size_t count = 0;
    while (const dirent* entry = readdir(folder))
        if (entry->d_name[0] != '.')
            ++count;
    closedir(folder);
    // The listing's own descriptor is gone again.
    return count > 0 ? count - 1 : 0;
}

size_t freeDescriptors()
{
    rlimit limit {};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return DescriptorBudget::mostKept * 2;
    const size_t open = openDescriptors() + reserve;
    return limit.rlim_cur > open ? limit.rlim_cur - open : 0;
}

}

DescriptorBudget::DescriptorBudget(unsigned threads)
{
    const size_t available = freeDescriptors();
    threads_ = static_cast<unsigned>(std::clamp<size_t>(available / perThread, 1, std::max(threads, 1u)));
    const size_t needed = size_t(threads_) * perThread;
    keepable_ = std::min(mostKept, available > needed ? available - needed : 0);
}

size_t DescriptorBudget::room()
{
    std::lock_guard guard(lock_);
    return keepable_ - kept_;
}

bool DescriptorBudget::keep(FolderNode& node, UniqueFd& fd)
{
    std::lock_guard guard(lock_);
    if (kept_ == keepable_)
        return false;
    link(node, fd);
    return true;
}

bool DescriptorBudget::keepNewest(FolderNode& node, UniqueFd& fd)
{
    std::lock_guard guard(lock_);
    if (kept_ == keepable_) {
        FolderNode* victim = oldest_;
        while (victim && !victim->lock().try_lock())
            victim = victim->newerKept;
        if (!victim)
            return false;
        unlink(*victim);
        ::close(victim->fd);
        victim->fd = -1;
        victim->lock().unlock();
    }
    link(node, fd);
    return true;
}

void DescriptorBudget::close(FolderNode& node)
{
    {
        std::lock_guard guard(lock_);
        unlink(node);
    }
    ::close(node.fd);
    node.fd = -1;
}

void DescriptorBudget::link(FolderNode& node, UniqueFd& fd)
{
    node.fd = fd.release();
    node.olderKept = newest_;
    node.newerKept = nullptr;
    (newest_ ? newest_->newerKept : oldest_) = &node;
    newest_ = &node;
    ++kept_;
}

void DescriptorBudget::unlink(FolderNode& node)
{
    (node.olderKept ? node.olderKept->newerKept : oldest_) = node.newerKept;
    (node.newerKept ? node.newerKept->olderKept : newest_) = node.olderKept;
    node.olderKept = node.newerKept = nullptr;
    --kept_;
}
