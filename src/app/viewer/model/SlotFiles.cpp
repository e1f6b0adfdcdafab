#include "app/viewer/model/SlotFiles.h"

#include "app/folders/DiskTree.h"
#include "shared/DecodingError.h"
#include "shared/InstallSafety.h"
#include "shared/Paths.h"
#include "shared/PosixError.h"
#include "shared/TrashProblem.h"
#include "shared/platform/ReadAll.h"
#include "shared/platform/UniqueFd.h"
#include "shared/platform/WriteAll.h"

#include <QCryptographicHash>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* unrelated = "An unrelated file occupies this saved view slot.";

// Writes a private temporary file beside the target and renames it into place.
void putInPlace(const QString& target, const QByteArray& bytes, unsigned renameFlags)
{
    const std::string destination = target.toStdString();
    std::string temporary = Paths::child(Paths::parent(destination), ".tallyroom-XXXXXX");
    UniqueFd fd(mkstemp(temporary.data()));
    if (!fd)
        throw PosixError(errno);
    try {
        writeAll(fd.get(), std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        if (::close(fd.release()) != 0)
            throw PosixError(errno);
        if (renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, destination.c_str(), renameFlags) != 0)
            throw PosixError(errno);
    } catch (...) {
        unlink(temporary.c_str());
        throw;
    }
}

}

namespace SlotFiles {

QString digest(const QString& folder)
{
    return QString::fromLatin1(QCryptographicHash::hash(folder.toUtf8(), QCryptographicHash::Sha256).toHex());
}

QString path(const QString& slotDir, int slot, const QString& folder)
{
    return slotDir + u'/' + digest(folder) + QStringLiteral("/View%1.json").arg(slot);
}

QString legacyPath(const QString& slotDir, int slot)
{
    return slotDir + QStringLiteral("/View%1.json").arg(slot);
}

void validate(const QString& slot, const QString& folder)
{
    InstallSafety::checkDirectories(Paths::parent(slot.toStdString()));
    const auto status = DiskTree::metadata(slot);
    if (!status)
        return;
    if (status->isRegular() && status->uid == getuid() && status->nlink == 1) {
        if (status->size == 0)
            return;
        try {
            if (read(slot).folder == folder)
                return;
        } catch (const Problem&) {
            // Whatever cannot be read as our own layout is not ours to overwrite.
        }
    }
    throw TrashProblem(unrelated);
}

QByteArray contents(const QString& slot)
{
    // Non-blocking, so a pipe in the slot's place cannot stall the caller.
    const UniqueFd fd(open(slot.toStdString().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd)
        throw PosixError(errno);
    const auto status = FileStatus::ofDescriptor(fd.get());
    if (!status)
        throw PosixError(errno);
    if (!status->isRegular())
        throw TrashProblem(unrelated);
    const std::optional<std::string> bytes = readAll(fd.get(), SavedLayout::largestFile);
    if (!bytes)
        throw DecodingError("The saved view is larger than any this program writes.");
    return QByteArray::fromStdString(*bytes);
}

SavedLayout read(const QString& slot)
{
    return SavedLayout::decoded(contents(slot));
}

void makeFolder(const QString& folder)
{
    std::string prefix;
    Paths::forEachComponent(folder.toStdString(), [&](std::string_view component) {
        prefix += '/';
        prefix += component;
        if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            throw PosixError(errno);
        return true;
    });
    const auto status = FileStatus::of(folder.toStdString());
    if (!status || !status->isDirectory())
        throw PosixError(ENOTDIR);
}

void replace(const QString& slot, const QByteArray& bytes)
{
    putInPlace(slot, bytes, 0);
}

void create(const QString& path, const QByteArray& bytes)
{
    putInPlace(path, bytes, RENAME_NOREPLACE);
}

}
