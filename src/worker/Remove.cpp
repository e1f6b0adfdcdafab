#include "worker/Remove.h"

#include "shared/DecodingError.h"
#include "shared/InstallSafety.h"
#include "shared/Paths.h"
#include "shared/PosixError.h"
#include "shared/Wire.h"
#include "shared/platform/FileFlags.h"
#include "shared/platform/FolderChain.h"
#include "shared/platform/UniqueFd.h"
#include "worker/Capacity.h"
#include "worker/DeletionLog.h"
#include "worker/Failure.h"
#include "worker/HeldEntry.h"
#include "worker/Leftovers.h"
#include "worker/Policy.h"
#include "worker/Refusal.h"
#include "worker/RemovalRooms.h"
#include "worker/ReportFile.h"
#include "worker/Seam.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <set>
#include <unistd.h>

namespace {

constexpr const char* invalidRequest = "Invalid request.";
constexpr const char* reportUnavailable = "Scan report unavailable.";
constexpr const char* changed = "File changed since scan.";
constexpr const char* denied = "File changed or removal was denied.";

// A request that parses but is not a sound `Deletion` is refused in one word; a parse error
// keeps the parser's description.
Deletion decodedRequest(const std::string& input)
{
    const nlohmann::json request = Wire::parse(input);
    try {
        return request.get<Deletion>();
    } catch (const DecodingError&) {
        throw Failure(invalidRequest);
    }
}

// The scan report the rows came from, opened for appending after every check, through the
// reports folder reached without following a link.
struct OpenReport {
    DeletionLog log;
    // Ties the run's private folders to this report, so that a later run on it can tell what
    // a killed run did.
    std::string tag;
};

OpenReport openReport(const DiskScope& scope, const std::string& path)
{
    if (Paths::standardized(Paths::parent(path)) != Paths::standardized(scope.reports()))
        throw Failure(reportUnavailable);
    const auto st = FileStatus::of(path);
    if (!st || !st->isRegular())
        throw Failure(reportUnavailable);
    InstallSafety::validate(scope.data(), true);
    InstallSafety::checkDirectories(scope.reports());
    Seam::reach("report.checked");
    const UniqueFd folder = Worker::openReports(scope);
    if (!folder && !Refusal::meansChanged(errno))
        throw Failure("Cannot open scan report: " + Refusal::cause("openat2", scope.reports(), errno) + ".");
    const std::string name(Paths::lastComponent(path));
    UniqueFd report(folder ? openat(folder.get(), name.c_str(), O_RDWR | O_NONBLOCK | O_APPEND | O_NOFOLLOW | O_CLOEXEC)
                           : -1);
    if (!report)
        throw Failure("Cannot open scan report.");
    const auto opened = FileStatus::ofDescriptor(report.get());
    if (!opened || !opened->isRegular() || opened->uid != getuid() || opened->nlink != 1
        || !name.starts_with(Worker::scanReportPrefix) || Paths::extension(name) != "txt")
        throw Failure("Invalid scan report.");
    return {DeletionLog(std::move(report)), std::to_string(opened->inode)};
}

std::vector<std::string_view> pathPieces(const std::string& raw)
{
    std::vector<std::string_view> pieces;
    bool valid = !raw.empty() && raw.front() == '/';
    Paths::forEachComponent(raw, [&](std::string_view piece) {
        valid = valid && piece != "." && piece != "..";
        pieces.push_back(piece);
        return valid;
    });
    if (!valid || pieces.empty())
        throw Failure("Invalid path.");
    return pieces;
}

// The scan root that holds the path: the chain may cross mounts on the way to it, never
// below it. None for a path outside every root, which the policy refuses anyway.
std::optional<std::string> baseFor(const DiskScope& scope, const std::string& raw)
{
    std::optional<std::string> base;
    for (const std::string& root : scope.roots())
        if (raw != root && DiskScope::inside(raw, root) && (!base || root.size() > base->size()))
            base = root;
    return base;
}

std::string_view below(std::string_view path, std::string_view folder)
{
    if (path == folder)
        return {};
    path.remove_prefix(folder == "/" ? 1 : folder.size() + 1);
    return path;
}

// The folder that holds a reviewed file, and what the walk to it found out.
struct ParentFolder {
    UniqueFd fd;
    // The scan root's mount, which the folder is on; none for a path outside every root.
    std::optional<uint64_t> mountId;
    // The scope's root is still the object it was when the scope was made.
    bool rootIntact = false;
};

// Never through a link: the scan root from "/", then the rest on the root's own mount.
ParentFolder openParent(int root, const DiskScope& scope, const std::string& raw)
{
    ParentFolder parent;
    const std::string folder = Paths::parent(raw);
    const std::optional<std::string> base = baseFor(scope, raw);
    int error = 0;
    if (!base) {
        parent.fd = FolderChain::open(root, below(folder, "/"));
        error = errno;
        parent.rootIntact = scope.valid();
    } else if (const UniqueFd baseFolder = FolderChain::open(root, below(*base, "/"))) {
        parent.fd = FolderChain::openOnMount(baseFolder.get(), below(folder, *base));
        error = errno;
        const auto st = FileStatus::ofDescriptor(baseFolder.get());
        if (!st)
            throw Failure("Cannot examine the scan root: " + Refusal::cause("statx", *base, errno) + ".");
        parent.mountId = st ? std::optional(st->mountId) : std::nullopt;
        parent.rootIntact = st && (*base == scope.root() ? st->device == scope.device() && st->inode == scope.inode()
                                                          : scope.valid());
    } else {
        error = errno;
    }
    if (!parent.fd && !Refusal::meansChanged(error))
        throw Failure("Cannot open the folder that holds the file: "
                      + Refusal::cause("openat2", scope.visible(folder), error) + ".");
    if (!parent.fd)
        throw Failure("Parent folder changed.");
    return parent;
}

bool onMount(const FileStatus& st, const std::optional<uint64_t>& mountId)
{
    return !st.mountRoot && (!mountId || st.mountId == *mountId);
}

// The entry under the private name is the one checked before the move (its inode cannot have
// been reused while the pinned descriptor holds it), with the reviewed size and modification
// time; only its change time has moved, with the move itself.
bool heldIsChecked(const FileStatus& held, const FileStatus& checked, const Stamp& signature)
{
    return held.device == checked.device && held.inode == checked.inode && held.mountId == checked.mountId
           && !held.mountRoot && Stamp::of(held).sameContent(signature);
}

// Lifts the user lock of the reviewed file; returns the open file so the lock can be put
// back if the removal fails.
UniqueFd unlock(int parent, const char* name, const Stamp& signature, uint32_t flags)
{
    UniqueFd file(openat(parent, name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    const auto st = file ? FileStatus::ofDescriptor(file.get()) : std::nullopt;
    if (!st || Stamp::of(*st) != signature || !FileFlags::set(file.get(), flags & ~FileFlags::userImmutable))
        throw Failure("Could not unlock the reviewed file.");
    return file;
}

// What the checks found of the reviewed entry, for the act that relies on them.
struct Checked {
    int pinned;
    const FileStatus& status;
    const Stamp& signature;
    std::function<void()> relock;
};

// Throws Failure with the reason, after putting the held entry back and the lock on again.
[[noreturn]] void leave(const std::string& reason, const std::function<void()>& relock)
{
    relock();
    throw Failure(reason);
}

// The act on the entry checked in `parent`: moved into the run's private folder, checked
// there against the pinned entry, logged as pending, unlinked, and proven gone.
void act(int parent, const FileStatus& parentStatus, const std::string& raw, const DiskScope& scope,
         const Checked& checked, Worker::Run run)
{
    const std::string shownFolder(scope.visible(Paths::parent(raw)));
    const PrivateFolder* room = nullptr;
    try {
        room = &run.rooms.in(parent, parentStatus, shownFolder);
    } catch (const Problem& problem) {
        leave(problem.description(), checked.relock);
    }
    HeldEntry held(*room, std::string(Paths::lastComponent(raw)), shownFolder, checked.pinned);
    if (!held.take())
        leave(denied, checked.relock);
    Seam::reach("removal.held");
    const auto now = held.status();
    if (!now || !heldIsChecked(*now, checked.status, checked.signature))
        leave(held.putBackStranger(changed), checked.relock);
    if (now->nlink != 1)
        leave(held.putBackReviewed("The file has other names, so removing this one would not free it."), checked.relock);
    Seam::reach("removal.verified");
    if (run.log) {
        try {
            run.log->intend(scope.visible(raw));
        } catch (const PosixError& error) {
            leave(held.putBackReviewed("The scan report cannot be written, so the file was left in place: "
                                       + error.description()),
                  checked.relock);
        }
    }
    Seam::reach("removal.logged");
    if (!held.remove()) {
        try {
            if (run.log)
                run.log->abandon();
        } catch (const PosixError&) {
            // The pending line stays; the file goes back all the same.
        }
        leave(held.putBackReviewed(denied), checked.relock);
    }
    Seam::reach("removal.unlinked");
    const auto after = FileStatus::ofDescriptor(checked.pinned);
    if (!after || after->nlink != 0)
        throw Failure(std::string(denied) + " What was unlinked in its place was not the reviewed file. "
                      + held.reviewedWhereabouts());
}

}

namespace Worker {

void removeEntry(const std::string& raw, const Stamp& signature, bool approved,
                 const DiskScope& scope, Run run)
{
    UniqueFd root(open("/", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!root)
        throw Failure("Cannot open root.");
    const std::vector<std::string_view> pieces = pathPieces(raw);
    const ParentFolder folder = openParent(root.get(), scope, raw);
    root.reset();
    const int parent = folder.fd.get();
    const auto parentStatus = FileStatus::ofDescriptor(parent);
    if (!parentStatus)
        throw Failure("Parent folder changed.");
    // What killed runs left here goes back first, whatever becomes of this row.
    run.rooms.visit(parent, *parentStatus, scope.visible(Paths::parent(raw)));
    Seam::reach("removal.parentOpened");
    const std::string name(pieces.back());
    // Pinned, so that its inode stays in use, and its number unique, until the removal is done.
    const UniqueFd pinned(openat(parent, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (!pinned && !Refusal::meansChanged(errno))
        throw Failure("Cannot examine the file: " + Refusal::cause("openat", scope.visible(raw), errno) + ".");
    const auto st = pinned && folder.rootIntact ? FileStatus::ofDescriptor(pinned.get()) : std::nullopt;
    if (pinned && folder.rootIntact && !st)
        throw Failure("Cannot examine the file: " + Refusal::cause("statx", scope.visible(raw), errno) + ".");
    if (!st || Stamp::of(*st) != signature || !onMount(*st, folder.mountId))
        throw Failure(changed);
    const std::string_view policy = mode(scope, raw, *st, parent);
    if (policy != Policy::normal && !(policy == Policy::challenge && approved))
        throw Failure("File is protected or requires authentication.");
    UniqueFd unlocked;
    if (st->flags & FileFlags::userImmutable)
        unlocked = unlock(parent, name.c_str(), signature, st->flags);
    const auto relock = [&] {
        if (unlocked)
            FileFlags::set(unlocked.get(), st->flags);
    };
    Seam::reach("removal.checked");
    act(parent, *parentStatus, raw, scope, Checked {pinned.get(), *st, signature, relock}, run);
}

void removeEntry(const std::string& raw, const Stamp& signature, bool approved,
                 const DiskScope& scope)
{
    RemovalRooms rooms("0", nullptr);
    removeEntry(raw, signature, approved, scope, Run {rooms, nullptr});
}

}

namespace {

constexpr const char* interrupted = "The removal was interrupted before the file was removed.";

void note(ResultInfo& result, std::vector<std::string> notes)
{
    result.messages.insert(result.messages.end(), notes.begin(), notes.end());
}

// The pending line a killed run left as the report's last line, settled by what that run's
// private folder holds: the file still in it is put back, a folder without it shows that it was
// unlinked. Without the folder the outcome stays untold.
void settleInterrupted(const DiskScope& scope, DeletionLog& log, RemovalRooms& rooms, ResultInfo& result)
{
    if (!log.interrupted())
        return;
    const std::string shown = *log.interrupted();
    try {
        const UniqueFd root(open("/", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        pathPieces(shown);
        const ParentFolder folder = openParent(root.get(), scope, shown);
        const auto held = Leftovers::holds(folder.fd.get(), rooms.tag(), std::string(Paths::lastComponent(shown)));
        if (!held) {
            log.keepUnsettled();
            return;
        }
        const std::string message = *held ? std::string(ResultInfo::skippedPrefix) + shown + " — " + interrupted
                                          : std::string(DeletionLog::deletedPrefix) + shown;
        log.record(message);
        result.messages.push_back(message);
        rooms.restore(folder.fd.get(), scope.visible(Paths::parent(shown)));
    } catch (const Problem&) {
        log.keepUnsettled();
    }
    note(result, rooms.takeNotes());
}

// Removes one row's file and writes its line; a log that cannot be written is left to the
// caller, which stops there.
void removeRow(const Row& reviewed, bool approved, const DiskScope& scope, Worker::Run run, ResultInfo& result)
{
    const std::string shown(scope.visible(reviewed.raw));
    std::string message;
    try {
        Worker::removeEntry(reviewed.raw, reviewed.signature, approved, scope, run);
        result.removed.push_back(reviewed.raw);
        message = std::string(DeletionLog::deletedPrefix) + shown;
    } catch (const Problem& problem) {
        message = std::string(ResultInfo::skippedPrefix) + shown + " — " + problem.description();
    }
    note(result, run.rooms.takeNotes());
    result.messages.push_back(message);
    try {
        run.log->record(message);
    } catch (const PosixError&) {
        // The log keeps the error; nothing more is removed once it cannot tell of it.
    }
}

}

namespace Worker {

nlohmann::json remove(const DiskScope& scope, const std::string& input)
{
    const Deletion request = decodedRequest(input);
    const std::set<std::string> approved(request.approved.begin(), request.approved.end());
    OpenReport report = openReport(scope, request.report);
    DeletionLog& log = report.log;
    RemovalRooms rooms(report.tag, &log);
    ResultInfo result;
    result.before = usage(scope);
    settleInterrupted(scope, log, rooms, result);
    for (const Row& reviewed : request.rows) {
        if (!log.failure().empty())
            break;
        removeRow(reviewed, approved.count(reviewed.raw) > 0, scope, Run {rooms, &log}, result);
    }
    result.reportIncomplete = log.failure();
    result.after = usage(scope);
    result.deleted = static_cast<int64_t>(result.removed.size());
    if (result.reportIncomplete.empty()) {
        try {
            log.append("\nAvailable bytes before: " + std::to_string(result.before.free)
                       + " • after: " + std::to_string(result.after.free) + "\n");
        } catch (const PosixError& error) {
            result.reportIncomplete = error.description();
        }
    }
    return result;
}

}
