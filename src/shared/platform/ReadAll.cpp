#include "shared/platform/ReadAll.h"

#include "shared/PosixError.h"

#include <cerrno>
#include <unistd.h>

namespace {

// Returns false at the end.
bool readChunk(int fd, char* buffer, size_t size, size_t& got)
{
    for (;;) {
        const ssize_t count = read(fd, buffer, size);
        if (count >= 0) {
            got = static_cast<size_t>(count);
            return count > 0;
        }
        if (errno != EINTR)
            throw PosixError(errno);
    }
}

}

void readEach(int fd, const std::function<void(std::string_view)>& take)
{
    char buffer[65536];
    size_t got = 0;
    while (readChunk(fd, buffer, sizeof buffer, got))
        take(std::string_view(buffer, got));
}

std::optional<std::string> readAll(int fd, size_t limit)
{
    std::string bytes;
    char buffer[65536];
    size_t got = 0;
    while (readChunk(fd, buffer, sizeof buffer, got)) {
        if (bytes.size() + got > limit)
            return std::nullopt;
        bytes.append(buffer, got);
    }
    return bytes;
}
