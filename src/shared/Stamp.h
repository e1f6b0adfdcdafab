#pragma once

#include "shared/platform/FileStatus.h"

#include <string>
#include <vector>

// A file as the scan saw it: device, inode, size, and modification and change time (seconds,
// nanoseconds), as decimal text. Equal stamps mean the very same, unchanged file.
struct Stamp {
    std::string device;
    std::string inode;
    std::string size;
    std::string mtimeSeconds;
    std::string mtimeNanoseconds;
    std::string ctimeSeconds;
    std::string ctimeNanoseconds;

    static Stamp of(const FileStatus& st);
    // The stamp of the seven texts in wire order; any other number of texts is the empty
    // stamp, which no file has.
    static Stamp fromParts(const std::vector<std::string>& parts);
    std::vector<std::string> parts() const;
    // Whether every text is a decimal integer, as `of` writes them.
    bool wellFormed() const;

    // The same file with the same content; the change time may differ (a rename moves it).
    bool sameContent(const Stamp& other) const;
    friend bool operator==(const Stamp&, const Stamp&) = default;
};
