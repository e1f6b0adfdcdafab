#include "worker/FolderStack.h"

#include <utility>

void FolderStack::push(const PendingFolder* first, size_t count)
{
    if (count == 0)
        return;
    bool wake;
    {
        std::lock_guard guard(lock_);
        folders_.insert(folders_.end(), first, first + count);
        wake = idle_ > 0;
    }
    if (!wake)
        return;
    if (count == 1)
        changed_.notify_one();
    else
        changed_.notify_all();
}

bool FolderStack::take(PendingFolder& folder)
{
    std::unique_lock guard(lock_);
    ++idle_;
    changed_.wait(guard, [&] { return stopped_ || !folders_.empty() || reading_ == 0; });
    --idle_;
    if (stopped_ || folders_.empty())
        return false;
    folder = folders_.back();
    folders_.pop_back();
    ++reading_;
    return true;
}

void FolderStack::finished()
{
    bool over;
    {
        std::lock_guard guard(lock_);
        --reading_;
        over = reading_ == 0 && folders_.empty() && idle_ > 0;
    }
    if (over)
        changed_.notify_all();
}

void FolderStack::stop()
{
    {
        std::lock_guard guard(lock_);
        stopped_ = true;
    }
    changed_.notify_all();
}

std::vector<PendingFolder> FolderStack::drain()
{
    std::lock_guard guard(lock_);
    return std::exchange(folders_, {});
}
