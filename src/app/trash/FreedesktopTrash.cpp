#include "app/trash/FreedesktopTrash.h"

#include "shared/Paths.h"
#include "shared/PosixError.h"
#include "shared/Problem.h"
#include "shared/TrashProblem.h"
#include "shared/platform/FolderChain.h"
#include "shared/platform/HomeFolder.h"
#include "shared/platform/UniqueFd.h"
#include "shared/platform/WriteAll.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const std::string protectedText = "This location is protected or no longer available.";
const std::string changedText = "The item changed since review. Nothing was moved.";
constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
// Room for ".trashinfo" and a collision counter within the 255-byte name limit.
constexpr size_t longestTrashName = 200;
// Deeper folders are left out of the size cache; file managers measure them themselves.
constexpr int deepestMeasuredFolder = 256;

struct Trash {
    UniqueFd folder;
    UniqueFd files;
    UniqueFd info;
    // Info files in a Trash at the top of a mount record the path below that top: this many
    // trailing components. Zero records the whole path.
    size_t recordedComponents = 0;
};

UniqueFd openRoot(const DiskScope& scope)
{
    UniqueFd root = FolderChain::openAbsolute(scope.root());
    const auto st = root ? FileStatus::ofDescriptor(root.get()) : std::nullopt;
    if (!st || st->device != scope.device() || st->inode != scope.inode())
        throw TrashProblem(protectedText);
    return root;
}

// The item's folder, reached beneath the scope's root: a link or a mount anywhere on the way
// refuses the move.
UniqueFd openParent(const std::string& path, const DiskScope& scope)
{
    const std::string parent = Paths::parent(path);
    const std::string& root = scope.root();
    const std::string prefix = root == "/" ? root : root + "/";
    std::string relative;
    if (parent != root) {
        if (parent.compare(0, prefix.size(), prefix) != 0)
            throw TrashProblem(protectedText);
        relative = parent.substr(prefix.size());
    }
    UniqueFd folder = FolderChain::openOnMount(openRoot(scope).get(), relative);
    if (!folder && errno == EACCES)
        throw TrashProblem("You may not open the folder that holds this item. Nothing was moved.");
    if (!folder)
        throw TrashProblem(protectedText);
    return folder;
}

bool sameObject(const FileStatus& now, const FileStatus& reviewed)
{
    return now.device == reviewed.device && now.inode == reviewed.inode && now.mountId == reviewed.mountId;
}

bool sameItem(const FileStatus& now, const FileStatus& reviewed)
{
    return sameObject(now, reviewed) && now.ctimeSeconds == reviewed.ctimeSeconds
           && now.ctimeNanoseconds == reviewed.ctimeNanoseconds;
}

[[noreturn]] void cannotUse(const std::string& what)
{
    throw Problem("The Trash cannot take this item: " + what + " is not a private folder of this user.");
}

// Nobody else may rename, replace or add anything in a Trash folder: a folder another user can
// write to lets him take the item back out or put his own in its place.
bool privateToUser(const FileStatus& st)
{
    return st.isDirectory() && st.uid == getuid() && (st.mode & (S_IWGRP | S_IWOTH)) == 0;
}

// A folder of this user's own inside `parent`, created private when missing.
UniqueFd ownFolder(int parent, const std::string& name)
{
    if (mkdirat(parent, name.c_str(), 0700) != 0 && errno != EEXIST) {
        if (errno == EACCES || errno == EPERM || errno == EROFS)
            throw Problem("The Trash cannot take this item: no Trash folder can be made on its volume.");
        throw PosixError(errno);
    }
    UniqueFd folder(openat(parent, name.c_str(), folderFlags));
    const auto st = folder ? FileStatus::ofDescriptor(folder.get()) : std::nullopt;
    if (!st || !privateToUser(*st))
        cannotUse(name);
    return folder;
}

// A shared ".Trash" at the top of a volume holds one folder per user; only its owner can take
// those apart, so it must be the administrator's or this user's.
bool soundSharedTrash(const std::optional<FileStatus>& st)
{
    return st && st->isDirectory() && (st->mode & S_ISVTX) && (st->uid == 0 || st->uid == getuid());
}

std::optional<Trash> trashIn(UniqueFd folder, uint64_t mount, size_t recordedComponents)
{
    Trash trash {std::move(folder), {}, {}, recordedComponents};
    trash.files = ownFolder(trash.folder.get(), "files");
    trash.info = ownFolder(trash.folder.get(), "info");
    const auto files = FileStatus::ofDescriptor(trash.files.get());
    if (!files || files->mountId != mount)
        return std::nullopt;
    return trash;
}

std::string dataHome()
{
    const char* configured = std::getenv("XDG_DATA_HOME");
    if (configured && configured[0] == '/')
        return configured;
    return HomeFolder::path() + "/.local/share";
}

// The user's own Trash; the data home itself is the user's setting, links included.
std::optional<Trash> homeTrash(uint64_t mount)
{
    const std::string home = dataHome();
    std::string made;
    Paths::forEachComponent(home, [&](std::string_view component) {
        made = Paths::child(made.empty() ? "/" : made, component);
        mkdir(made.c_str(), 0700);
        return true;
    });
    UniqueFd data(open(home.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!data)
        throw PosixError(errno);
    return trashIn(ownFolder(data.get(), "Trash"), mount, 0);
}

// The top folder of the mount that holds `folder`, found by walking up through ".."; `levels`
// counts the folders climbed.
UniqueFd mountTop(int folder, size_t& levels)
{
    UniqueFd here(openat(folder, ".", folderFlags));
    for (levels = 0; here && levels < 4096; ++levels) {
        const auto st = FileStatus::ofDescriptor(here.get());
        UniqueFd up(openat(here.get(), "..", folderFlags));
        const auto above = up ? FileStatus::ofDescriptor(up.get()) : std::nullopt;
        if (!st || !above)
            break;
        if (st->mountRoot || above->mountId != st->mountId || above->inode == st->inode)
            return here;
        here = std::move(up);
    }
    throw Problem("The Trash cannot take this item: the top of its volume cannot be found.");
}

// The Trash at the top of the item's mount: the administrator's sticky ".Trash" with a folder
// per user when it is sound, otherwise ".Trash-UID".
std::optional<Trash> mountTrash(int parent, uint64_t mount)
{
    size_t levels = 0;
    const UniqueFd top = mountTop(parent, levels);
    const std::string uid = std::to_string(getuid());
    UniqueFd shared(openat(top.get(), ".Trash", folderFlags));
    const auto sharedStatus = shared ? FileStatus::ofDescriptor(shared.get()) : std::nullopt;
    if (soundSharedTrash(sharedStatus)) {
        try {
            if (auto trash = trashIn(ownFolder(shared.get(), uid), mount, levels + 1))
                return trash;
        } catch (const Problem&) {
            // An unusable shared Trash is passed over for the user's own.
        }
    }
    return trashIn(ownFolder(top.get(), ".Trash-" + uid), mount, levels + 1);
}

Trash trashFor(int parent, uint64_t mount)
{
    if (auto trash = homeTrash(mount))
        return std::move(*trash);
    if (auto trash = mountTrash(parent, mount))
        return std::move(*trash);
    throw Problem("The Trash cannot take this item: no Trash is on its volume.");
}

std::string deletionDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// The last `count` components of a path, joined by "/".
std::string tail(const std::string& path, size_t count)
{
    size_t start = path.size();
    for (size_t found = 0; found < count && start > 0; ++found)
        start = path.rfind('/', start - 1);
    return start == std::string::npos ? path : path.substr(start + 1);
}

struct Reservation {
    std::string name;
    UniqueFd info;
};

std::string infoName(const std::string& name)
{
    return name + ".trashinfo";
}

// Claims a name in the Trash by creating its info file exclusively, starting at the
// `attempt`-th candidate name and leaving `attempt` at the one claimed.
Reservation reserve(const Trash& trash, const std::string& base, int& attempt, const std::string& recordedPath)
{
    for (; attempt < 100000; ++attempt) {
        Reservation reservation {attempt == 1 ? base : base + "." + std::to_string(attempt), {}};
        reservation.info = UniqueFd(openat(trash.info.get(), infoName(reservation.name).c_str(),
                                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!reservation.info) {
            if (errno == EEXIST)
                continue;
            throw PosixError(errno);
        }
        writeAll(reservation.info.get(), "[Trash Info]\nPath=" + FreedesktopTrash::encodedPath(recordedPath)
                                             + "\nDeletionDate=" + deletionDate() + "\n");
        if (fsync(reservation.info.get()) != 0)
            throw PosixError(errno);
        return reservation;
    }
    throw Problem("The Trash cannot take this item: every name for it is taken.");
}

// Removes an info file this move created, when it is still the one it created.
void discard(const Trash& trash, const Reservation& reservation)
{
    const std::string name = infoName(reservation.name);
    const auto mine = FileStatus::ofDescriptor(reservation.info.get());
    const auto there = FileStatus::at(trash.info.get(), name.c_str());
    if (mine && there && sameObject(*mine, *there))
        unlinkat(trash.info.get(), name.c_str(), 0);
}

// Bytes of disk space a folder uses, as `du -B1` counts them; nothing when it is too deep.
std::optional<uint64_t> diskUsage(int folder, int depth)
{
    if (depth > deepestMeasuredFolder)
        return std::nullopt;
    const int copy = openat(folder, ".", folderFlags);
    DIR* stream = copy >= 0 ? fdopendir(copy) : nullptr;
    if (!stream) {
        if (copy >= 0)
            close(copy);
        return std::nullopt;
    }
    uint64_t total = 0;
    bool whole = true;
    while (const dirent* entry = readdir(stream)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st;
        if (fstatat(dirfd(stream), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        total += static_cast<uint64_t>(st.st_blocks) * 512;
        if (S_ISDIR(st.st_mode)) {
            UniqueFd child(openat(dirfd(stream), entry->d_name, folderFlags));
            const auto below = child ? diskUsage(child.get(), depth + 1) : std::nullopt;
            whole = whole && below;
            total += below.value_or(0);
        }
    }
    closedir(stream);
    if (!whole)
        return std::nullopt;
    return total;
}

std::string readAll(int fd)
{
    std::string text;
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(got));
    return text;
}

// Records a trashed folder's size in the Trash's size cache, replaced as a whole.
void recordFolderSize(const Trash& trash, const Reservation& reservation)
{
    UniqueFd moved(openat(trash.files.get(), reservation.name.c_str(), folderFlags));
    const auto size = moved ? diskUsage(moved.get(), 0) : std::nullopt;
    const auto info = FileStatus::ofDescriptor(reservation.info.get());
    if (!size || !info)
        return;
    const std::string encoded = FreedesktopTrash::encodedPath(reservation.name);
    std::string cache;
    UniqueFd old(openat(trash.folder.get(), "directorysizes", O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (old) {
        const std::string text = readAll(old.get());
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            end = end == std::string::npos ? text.size() : end;
            const std::string line = text.substr(start, end - start);
            const size_t nameAt = line.find(' ', line.find(' ') + 1);
            if (!line.empty() && (nameAt == std::string::npos || line.substr(nameAt + 1) != encoded))
                cache += line + "\n";
            start = end + 1;
        }
    }
    cache += std::to_string(*size) + " " + std::to_string(info->mtimeSeconds) + " " + encoded + "\n";
    const std::string temporary = "directorysizes." + std::to_string(getpid()) + ".new";
    UniqueFd fresh(openat(trash.folder.get(), temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          0600));
    if (!fresh)
        return;
    writeAll(fresh.get(), cache);
    // The cache belongs to the Trash: replacing it whole is how it is kept current.
    renameat(trash.folder.get(), temporary.c_str(), trash.folder.get(), "directorysizes");
}

// Puts back what a race moved into the Trash in place of the reviewed item.
[[noreturn]] void putBack(const Trash& trash, const Reservation& reservation, int parent, const std::string& name)
{
    if (renameat2(trash.files.get(), reservation.name.c_str(), parent, name.c_str(), RENAME_NOREPLACE) == 0) {
        discard(trash, reservation);
        throw TrashProblem(changedText);
    }
    throw Problem("The item changed during the move. The item that took its place could not be put back; it is in "
                  "the Trash as “" + reservation.name + "” and can be restored from there.");
}

}

namespace FreedesktopTrash {

void move(const std::string& path, const FileStatus& reviewed, const DiskScope& scope, const StepHook& hook)
{
    const auto step = [&](Step at) {
        if (hook)
            hook(at);
    };
    const UniqueFd parent = openParent(path, scope);
    step(Step::parentOpened);
    const Trash trash = trashFor(parent.get(), reviewed.mountId);
    step(Step::trashOpened);
    const std::string name(Paths::lastComponent(path));
    const auto before = FileStatus::at(parent.get(), name.c_str());
    if (!before || !sameItem(*before, reviewed))
        throw TrashProblem(changedText);
    const std::string recorded = trash.recordedComponents ? tail(path, trash.recordedComponents) : path;
    const std::string base = name.substr(0, longestTrashName);
    Reservation reservation;
    for (int attempt = 1;; ++attempt) {
        reservation = reserve(trash, base, attempt, recorded);
        step(Step::itemChecked);
        if (renameat2(parent.get(), name.c_str(), trash.files.get(), reservation.name.c_str(), RENAME_NOREPLACE) == 0)
            break;
        const int failure = errno;
        discard(trash, reservation);
        if (failure == ENOENT)
            throw TrashProblem("The item was moved or renamed before it reached the Trash. Nothing was moved.");
        if (failure != EEXIST)
            throw PosixError(failure);
    }
    step(Step::moved);
    const auto after = FileStatus::at(trash.files.get(), reservation.name.c_str());
    if (!after || !sameObject(*after, reviewed))
        putBack(trash, reservation, parent.get(), name);
    if (after->isDirectory())
        recordFolderSize(trash, reservation);
}

std::string encodedPath(std::string_view path)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')
                           || c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += hex[byte >> 4];
            encoded += hex[byte & 15];
        }
    }
    return encoded;
}

}
