#include "shared/platform/FileFlags.h"

#include <linux/fs.h>
#include <sys/ioctl.h>

namespace FileFlags {

bool set(int fd, uint32_t flags)
{
    constexpr uint32_t representable = systemImmutable | systemAppend;
    if (flags & ~representable)
        return false;
    int attributes = 0;
    if (ioctl(fd, FS_IOC_GETFLAGS, &attributes) != 0)
        return false;
    attributes &= ~(FS_IMMUTABLE_FL | FS_APPEND_FL);
    if (flags & systemImmutable)
        attributes |= FS_IMMUTABLE_FL;
    if (flags & systemAppend)
        attributes |= FS_APPEND_FL;
    return ioctl(fd, FS_IOC_SETFLAGS, &attributes) == 0;
}

}
