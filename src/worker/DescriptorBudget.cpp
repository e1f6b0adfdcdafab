#include "DescriptorBudget.h"

#include <algorithm>
#include <dirent.h>
#include <sys/resource.h>

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

bool DescriptorBudget::keep()
{
    size_t current = kept_.load(std::memory_order_relaxed);
    while (current < keepable_)
        if (kept_.compare_exchange_weak(current, current + 1, std::memory_order_relaxed))
            return true;
    return false;
}

void DescriptorBudget::give()
{
    kept_.fetch_sub(1, std::memory_order_relaxed);
}
