#include "worker/Output.h"

#include "shared/PosixError.h"
#include "shared/platform/FileStatus.h"
#include "shared/platform/UniqueFd.h"
#include "shared/platform/WriteAll.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace Output {

void writeNewFile(int folder, const std::string& name, std::string_view bytes)
{
    UniqueFd file(openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!file)
        throw PosixError(errno);
    // A report exists only when it was written whole: a file this call created and could not
    // finish is taken away again, if the name in the program's own folder still refers to it.
    const auto created = FileStatus::ofDescriptor(file.get());
    const auto discard = [&] {
        const auto named = FileStatus::at(folder, name.c_str());
        if (created && named && named->device == created->device && named->inode == created->inode)
            unlinkat(folder, name.c_str(), 0);
    };
    try {
        writeAll(file.get(), bytes);
    } catch (const PosixError&) {
        discard();
        throw;
    }
    if (close(file.release()) != 0) {
        const int error = errno;
        discard();
        throw PosixError(error);
    }
}

}
