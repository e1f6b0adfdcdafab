#include "app/platform/OwnedFiles.h"

#include "shared/Paths.h"
#include "shared/PosixError.h"
#include "shared/Problem.h"
#include "shared/Uuid.h"
#include "shared/platform/FileStatus.h"
#include "shared/platform/WriteAll.h"
#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Our files are small; anything larger is not ours and is not read whole.
constexpr size_t largestOwned = 4 * 1024 * 1024;

// The item now at `name` is ours: a plain file of this user, not linked elsewhere, with the marker.
bool ownedAt(int folder, const char* name)
{
    const UniqueFd fd(openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        return false;
    const auto status = FileStatus::ofDescriptor(fd.get());
    if (!status || !status->isRegular() || status->uid != geteuid() || status->nlink != 1
        || static_cast<size_t>(status->size) > largestOwned)
        return false;
    std::string bytes(static_cast<size_t>(status->size), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += static_cast<size_t>(got);
    }
    return OwnedFiles::ours(bytes);
}

// A fresh private file with the bytes, under a random name in the folder.
std::string stage(int folder, const std::string& name, const std::string& bytes)
{
    const std::string staged = "." + name + "-" + Uuid::random();
    const UniqueFd fd(openat(folder, staged.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd)
        throw PosixError(errno);
    try {
        writeAll(fd.get(), bytes);
        if (fchmod(fd.get(), 0644) != 0 || fsync(fd.get()) != 0)
            throw PosixError(errno);
    } catch (...) {
        unlinkat(folder, staged.c_str(), 0);
        throw;
    }
    return staged;
}

}

namespace OwnedFiles {

bool ours(std::string_view bytes)
{
    return bytes.find(marker) != std::string_view::npos;
}

UniqueFd openBase(const std::string& path)
{
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd)
        throw PosixError(errno);
    return fd;
}

UniqueFd openFolder(int parent, std::string_view relative, unsigned mode)
{
    UniqueFd current(fcntl(parent, F_DUPFD_CLOEXEC, 0));
    if (!current)
        throw PosixError(errno);
    int failure = 0;
    Paths::forEachComponent(relative, [&](std::string_view component) {
        const std::string name(component);
        if (name == "..") {
            failure = EINVAL;
            return false;
        }
        if (mkdirat(current.get(), name.c_str(), mode) != 0 && errno != EEXIST) {
            failure = errno;
            return false;
        }
        UniqueFd next(openat(current.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next) {
            failure = errno;
            return false;
        }
        current = std::move(next);
        return true;
    });
    if (failure != 0)
        throw PosixError(failure);
    return current;
}

UniqueFd openOrCreateBase(const std::string& path)
{
    std::string existing = Paths::standardized(path);
    while (existing != "/" && !FileStatus::of(existing))
        existing = Paths::parent(existing);
    const UniqueFd base = openBase(existing);
    const std::string standardized = Paths::standardized(path);
    const std::string below = standardized.size() > existing.size() ? standardized.substr(existing.size()) : std::string();
    return openFolder(base.get(), below, 0700);
}

void write(int folder, const std::string& name, const std::string& bytes, const std::string& shownPath)
{
    const std::string staged = stage(folder, name, bytes);
    if (renameat2(folder, staged.c_str(), folder, name.c_str(), RENAME_NOREPLACE) == 0)
        return;
    if (errno != EEXIST) {
        const int error = errno;
        unlinkat(folder, staged.c_str(), 0);
        throw PosixError(error);
    }
    // Swap first, then judge what came out: whatever occupied the name is examined after the
    // swap, so nothing can slip in between the check and the replacement.
    if (renameat2(folder, staged.c_str(), folder, name.c_str(), RENAME_EXCHANGE) != 0) {
        const int error = errno;
        unlinkat(folder, staged.c_str(), 0);
        throw PosixError(error);
    }
    if (ownedAt(folder, staged.c_str())) {
        unlinkat(folder, staged.c_str(), 0);
        return;
    }
    renameat2(folder, staged.c_str(), folder, name.c_str(), RENAME_EXCHANGE);
    if (ownedAt(folder, staged.c_str()))
        unlinkat(folder, staged.c_str(), 0);
    throw Problem("An existing item occupies " + shownPath + ". Nothing was replaced.");
}

}
