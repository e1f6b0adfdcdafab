#include "app/trash/TrashReview.h"

#include "app/platform/Authenticator.h"
#include "app/platform/Background.h"
#include "app/platform/Bundle.h"
#include "app/session/SessionDisk.h"
#include "app/trash/FreedesktopTrash.h"
#include "shared/DiskScope.h"
#include "shared/Paths.h"
#include "shared/Problem.h"
#include "shared/TrashProblem.h"
#include "shared/platform/FileStatus.h"
#include "shared/platform/HomeFolder.h"

#include <QPointer>
#include <QCoreApplication>

#include <array>
#include <climits>
#include <cstdlib>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::array lockedInHome {"Desktop", "Documents", "Downloads", "Movies", "Music",
                                   "Pictures", "Public", "Library", "Applications"};
constexpr std::array openLibraryFolders {"Library/CloudStorage", "Library/Mobile Documents", "Library/Caches",
                                         "Library/Logs"};
constexpr std::array lockedSuffixes {".app", ".bundle", ".framework", ".photoslibrary",
                                     ".vmwarevm", ".utm", ".pvm", ".sparsebundle"};
// User and system immutable and append-only.
constexpr uint32_t lockedFlags = 0x60006;

const std::string protectedText = "This location is protected or no longer available.";
const std::string changedText = "Item changed. Refresh the folder and try again.";
const std::string lockedText = "This item is locked or protected in the Viewer.";

// Components counted with the leading "/" as one, so "/home/name" has three.
int componentCount(std::string_view path)
{
    int count = path.starts_with("/") ? 1 : 0;
    Paths::forEachComponent(path, [&](std::string_view) {
        ++count;
        return true;
    });
    return count;
}

template <typename Test>
bool anyComponent(std::string_view path, Test test)
{
    bool found = false;
    Paths::forEachComponent(path, [&](std::string_view component) {
        found = test(component);
        return !found;
    });
    return found;
}

bool onStartupDisk(const DiskScope& scope)
{
    const auto data = FileStatus::of(std::string(DiskScope::startupData));
    return (data && data->device == scope.device()) || scope.root() == "/";
}

bool inOpenLibraryFolder(std::string_view path, const std::string& home)
{
    for (const char* folder : openLibraryFolders)
        if (path.starts_with(home + "/" + folder + "/"))
            return true;
    return false;
}

std::optional<std::string> resolved(const std::string& path)
{
    char buffer[PATH_MAX];
    if (!::realpath(path.c_str(), buffer))
        return std::nullopt;
    return std::string(buffer);
}

// The location gates; the item's status when they all pass.
FileStatus checkLocation(const std::string& path)
{
    const auto scope = SessionDisk::current();
    if (!scope || !scope->valid() || !scope->deletable(path))
        throw TrashProblem(protectedText);
    if (onStartupDisk(*scope)
        && (!path.starts_with(std::string(DiskScope::usersFolder) + "/") || componentCount(path) <= 3))
        throw TrashProblem(protectedText);
    if (anyComponent(path, [](std::string_view component) { return component.starts_with("."); }))
        throw TrashProblem(protectedText);
    if (Paths::standardized(path) != path)
        throw TrashProblem(protectedText);
    const std::string parent = Paths::parent(path);
    if (resolved(parent) != parent)
        throw TrashProblem(protectedText);
    const auto status = FileStatus::of(path);
    if (!status || status->uid != ::getuid() || !scope->allows(path, *status)
        || ::access(parent.c_str(), W_OK | X_OK) != 0)
        throw TrashProblem(protectedText);
    return *status;
}

void checkKind(const VEntry& entry, const FileStatus& status)
{
    const bool folder = S_ISDIR(status.mode);
    const bool link = S_ISLNK(status.mode);
    if ((!S_ISREG(status.mode) && !folder && !link) || entry.folder != folder || entry.link != link)
        throw TrashProblem(changedText);
}

void checkProtection(const std::string& path, const std::string& home, const FileStatus& status)
{
    const std::string_view name = Paths::lastComponent(path);
    const bool homeFolder = Paths::parent(path) == home;
    for (const char* locked : lockedInHome)
        if (homeFolder && name == locked)
            throw TrashProblem(lockedText);
    if (path.starts_with(home + "/Library/") && !inOpenLibraryFolder(path, home))
        throw TrashProblem(lockedText);
    if (anyComponent(path, [](std::string_view component) { return component == "Applications"; }))
        throw TrashProblem(lockedText);
    if (!path.starts_with(home + "/")
        && anyComponent(path, [](std::string_view component) { return component == "Library"; }))
        throw TrashProblem(lockedText);
    const bool package = anyComponent(path, [](std::string_view component) {
        const std::string lower = Paths::lowercased(component);
        for (const char* suffix : lockedSuffixes)
            if (lower.ends_with(suffix))
                return true;
        return false;
    });
    if (package)
        throw TrashProblem(lockedText);
    const std::string bundle = Bundle::location().toStdString();
    if (bundle == path || bundle.starts_with(path + "/"))
        throw TrashProblem(lockedText);
    if (status.flags & lockedFlags)
        throw TrashProblem(lockedText);
}

}

TrashReview::TrashReview(const VEntry& entry)
    : revision(SessionDisk::revision()), id(QUuid::createUuid()), entry(entry)
{
    if (SessionDisk::trashBlocked())
        throw TrashProblem("Volume verification failed or is in progress. Verify the disk successfully before deleting items.");
    if (!SessionDisk::writable())
        throw TrashProblem("Moving items requires Active Mode.");
    const std::string path = entry.path.toStdString();
    const FileStatus status = checkLocation(path);
    checkKind(entry, status);
    const std::string home = HomeFolder::path();
    checkProtection(path, home, status);
    dev = status.device;
    ino = status.inode;
    mount = status.mountId;
    ctimeSeconds = status.ctimeSeconds;
    ctimeNanoseconds = status.ctimeNanoseconds;
    auth = !path.starts_with(home + "/") || inOpenLibraryFolder(path, home);
}

TrashReview TrashReview::folder(const QUrl& url)
{
    const std::string path = Paths::standardized(url.toLocalFile().toStdString());
    const auto status = url.isLocalFile() ? FileStatus::of(path) : std::optional<FileStatus>();
    if (!status || !status->isDirectory())
        throw TrashProblem("Choose a folder on the selected disk.");
    return TrashReview(VEntry {QString::fromStdString(path), true, false, 0});
}

void TrashReview::move(bool authenticated) const
{
    if (revision != SessionDisk::revision())
        throw TrashProblem("The disk or mode changed. Review this item again.");
    const TrashReview fresh(entry);
    if (fresh.dev != dev || fresh.ino != ino || fresh.mount != mount || fresh.ctimeSeconds != ctimeSeconds
        || fresh.ctimeNanoseconds != ctimeNanoseconds)
        throw TrashProblem("The item changed since review. Nothing was moved.");
    if (fresh.auth && !authenticated)
        throw TrashProblem("Mac authentication is required.");
    const auto scope = SessionDisk::current();
    if (!scope)
        throw TrashProblem("This location is protected or no longer available.");
    FileStatus reviewed;
    reviewed.device = dev;
    reviewed.inode = ino;
    reviewed.mountId = mount;
    reviewed.ctimeSeconds = ctimeSeconds;
    reviewed.ctimeNanoseconds = ctimeNanoseconds;
    FreedesktopTrash::move(entry.path.toStdString(), reviewed, *scope);
}

void TrashReview::moveAfterApproval(Authenticator* authenticator, QObject* context,
                                    std::function<void(std::optional<QString>)> done) const
{
    const QPointer<QObject> guard(context);
    // The outcome always comes back through the event loop, even for a move that finishes at once.
    auto moveInBackground = [ticket = *this, guard, done](bool authenticated) {
        if (!guard)
            return;
        inBackground([ticket, authenticated, guard, done] {
            std::optional<QString> failure;
            try {
                ticket.move(authenticated);
            } catch (const std::exception& error) {
                failure = QString::fromUtf8(error.what());
            }
            QMetaObject::invokeMethod(qApp, [guard, done, failure] {
                if (guard)
                    done(failure);
            }, Qt::QueuedConnection);
        });
    };
    if (!auth) {
        moveInBackground(false);
        return;
    }
    QString unavailable;
    if (!authenticator || !authenticator->canEvaluate(unavailable)) {
        done(unavailable.isEmpty() ? QStringLiteral("Mac authentication is required.") : unavailable);
        return;
    }
    authenticator->evaluate(QStringLiteral("Move ") + entry.title() + QStringLiteral(" to the Trash."),
                            [guard, done, moveInBackground](std::optional<QString> failure) {
                                if (!guard)
                                    return;
                                if (failure)
                                    done(failure);
                                else
                                    moveInBackground(true);
                            });
}
