#include "worker/Capacity.h"

#include "worker/Failure.h"

#include <sys/statvfs.h>

namespace Worker {

Usage usage(const DiskScope& scope)
{
    struct statvfs fs;
    if (statvfs(scope.capacityPath().c_str(), &fs) != 0)
        throw Failure("Cannot read disk capacity.");
    const uint64_t fragment = fs.f_frsize;
    return {fragment * fs.f_blocks, fragment * (fs.f_blocks - fs.f_bfree), fragment * fs.f_bavail};
}

}
