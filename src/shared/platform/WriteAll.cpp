#include "shared/platform/WriteAll.h"

#include "shared/PosixError.h"

#include <cerrno>
#include <unistd.h>

void writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw PosixError(written < 0 ? errno : EIO);
        bytes.remove_prefix(static_cast<size_t>(written));
    }
}
