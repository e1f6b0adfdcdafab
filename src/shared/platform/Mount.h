#pragma once

#include <cstdint>
#include <string>

// One mounted file system, as the mount table lists it.
struct Mount {
    std::string mountPoint;
    std::string type;
    std::string source;
    int32_t device = 0;

    // Network and remote file systems are not local; everything else is.
    bool local() const;
};
