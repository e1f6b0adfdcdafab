#pragma once

#include <string>

// What the kernel has recorded about errors of one mounted file system.
struct KernelRecord {
    enum class State { Clean, ErrorsRecorded, Unknown };
    State state = State::Unknown;
    // The counters as read, one "name: value" line each; for Unknown, why nothing was read.
    std::string text;
};
