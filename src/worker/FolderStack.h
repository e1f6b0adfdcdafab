#pragma once

#include "worker/PendingFolder.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

// The folders still to read, shared by the walk's threads: last in, first out, so the walk
// stays close to depth first and the waiting frontier small. The walk ends when the stack
// is empty and no thread is reading a folder that could add to it.
class FolderStack {
public:
    void push(const PendingFolder* first, size_t count);
    // Waits for a folder. False when the walk is over or stopped.
    bool take(PendingFolder& folder);
    // The thread that took a folder has finished with it.
    void finished();
    // Makes every take() return false from now on.
    void stop();
    // What is left after the threads ended, for its references to be given back.
    std::vector<PendingFolder> drain();

private:
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<PendingFolder> folders_;
    size_t reading_ = 0;
    size_t idle_ = 0;
    bool stopped_ = false;
};
