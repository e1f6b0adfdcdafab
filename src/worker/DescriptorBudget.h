#pragma once

#include <atomic>
#include <cstddef>

// How many descriptors the walk may hold, from the process's limit: each reading thread
// needs at most three at a time (the folder it reads, and a parent it reopens in two
// steps); what is left over lets folders keep their descriptors for their subfolders.
class DescriptorBudget {
public:
    static constexpr size_t perThread = 3;
    static constexpr size_t mostKept = 1024;

    // Sizes the budget for up to `threads` threads from the descriptors still free.
    explicit DescriptorBudget(unsigned threads);

    unsigned threads() const { return threads_; }
    // Takes one place for a kept descriptor; false when none is left.
    bool keep();
    // Gives back a place taken by keep().
    void give();

private:
    unsigned threads_;
    size_t keepable_;
    std::atomic<size_t> kept_ {0};
};
