#include "app/folders/DiskTree.h"

#include "app/folders/BrowserCollator.h"
#include "app/folders/DiskViewerError.h"
#include "app/folders/ReadCancelled.h"
#include "app/session/SessionDisk.h"
#include "shared/DiskScope.h"
#include "shared/Paths.h"
#include "shared/PosixError.h"
#include "shared/TrashProblem.h"
#include "shared/platform/FolderListing.h"
#include "shared/platform/UniqueFd.h"

#include <QCollator>
#include <QStringDecoder>
#include <QThread>
#include <QtConcurrent>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <numeric>
#include <sys/stat.h>
#include <vector>

namespace {

void throwIfStopped(const std::stop_token& stop)
{
    if (stop.stop_requested())
        throw ReadCancelled();
}

UniqueFd openFolder(const std::string& path)
{
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd)
        throw PosixError(errno);
    return fd;
}

using Slice = std::pair<qsizetype, qsizetype>;

// [0, count) cut into one slice per core. Small counts stay whole: handing them to other
// threads would cost more than it saves.
std::vector<Slice> slicesOf(qsizetype count)
{
    constexpr qsizetype worthSplitting = 1024;
    const qsizetype parts = count < worthSplitting ? 1 : std::max(1, QThread::idealThreadCount());
    std::vector<Slice> slices;
    for (qsizetype part = 0; part < parts; ++part)
        slices.emplace_back(count * part / parts, count * (part + 1) / parts);
    return slices;
}

// Calls work(begin, end) for every slice at once, the calling thread taking part.
template <typename Work>
void inParallel(std::vector<Slice>& slices, Work work)
{
    QtConcurrent::blockingMap(slices, [&](const Slice& slice) { work(slice.first, slice.second); });
}

// Decides whether one name of the folder being read becomes an entry. Copies are independent,
// so each thread can have its own.
class Admission {
public:
    Admission(const DiskScope& scope, const std::string& folder, const QString& prefix, int folderFd, bool hidden)
        : scope_(scope), prefix_(prefix), folderFd_(folderFd), hidden_(hidden), child_(Paths::child(folder, "")),
          childStart_(child_.size())
    {
    }

    // The check that needs no status.
    bool candidate(std::string_view name) const { return hidden_ || name.front() != '.'; }

    std::optional<VEntry> operator()(std::string_view name)
    {
        child_.resize(childStart_);
        child_ += name;
        if (DiskScope::leadsToOtherVolumes(child_))
            return std::nullopt;
        const auto st = FileStatus::at(folderFd_, child_.c_str() + childStart_);
        if (!st || !scope_.allows(child_, *st))
            return std::nullopt;
        auto path = decodedPath(name);
        if (!path)
            return std::nullopt;
        return VEntry {std::move(*path), st->isDirectory(), S_ISLNK(st->mode), st->size};
    }

private:
    // The prefix and the name decoded from UTF-8; none when the name is not UTF-8, since such
    // a name has no path of its own in the viewer.
    std::optional<QString> decodedPath(std::string_view name) const
    {
        QStringDecoder decode(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString path(prefix_.size() + qsizetype(name.size()), Qt::Uninitialized);
        std::copy(prefix_.begin(), prefix_.end(), path.begin());
        const QChar* end
            = decode.appendToBuffer(path.data() + prefix_.size(), QByteArrayView(name.data(), qsizetype(name.size())));
        if (decode.hasError())
            return std::nullopt;
        path.truncate(end - path.constData());
        return path;
    }

    const DiskScope& scope_;
    const QString& prefix_;
    int folderFd_;
    bool hidden_;
    // One buffer for every child's path, so the loop allocates only what it keeps.
    std::string child_;
    size_t childStart_;
};

// Calls take(name) for each candidate name of the folder, in the folder's order, until it
// returns false.
template <typename Take>
void listCandidates(int folderFd, const Admission& admission, const std::stop_token& stop, Take take)
{
    FolderListing listing(FolderListing::Order::folder);
    while (listing.next(folderFd))
        for (const FolderListing::Entry& entry : listing.batch()) {
            if (admission.candidate(entry.view()) && !take(entry.view()))
                return;
            throwIfStopped(stop);
        }
    if (listing.error())
        throw PosixError(listing.error());
}

// Reads in listing order and stops once `limit` entries have been accepted.
QList<VEntry> readFirst(int folderFd, Admission admit, int limit, const std::stop_token& stop)
{
    QList<VEntry> entries;
    listCandidates(folderFd, admit, stop, [&](std::string_view name) {
        if (auto entry = admit(name))
            entries.append(std::move(*entry));
        return entries.size() < limit;
    });
    return entries;
}

// Reads every name, then takes their status on all cores; entries keep the listing's order.
QList<VEntry> readAll(int folderFd, const Admission& admission, const std::stop_token& stop)
{
    std::vector<std::string> names;
    listCandidates(folderFd, admission, stop, [&](std::string_view name) {
        names.emplace_back(name);
        return true;
    });
    std::vector<std::optional<VEntry>> admitted(names.size());
    std::vector<Slice> slices = slicesOf(qsizetype(names.size()));
    inParallel(slices, [&](qsizetype begin, qsizetype end) {
        Admission admit = admission;
        for (qsizetype i = begin; i < end && !stop.stop_requested(); ++i)
            admitted[i] = admit(names[i]);
    });
    throwIfStopped(stop);
    QList<VEntry> entries;
    for (std::optional<VEntry>& entry : admitted)
        if (entry)
            entries.append(std::move(*entry));
    return entries;
}

// Folders first, then by name; equal names keep the order they were read in. Each slice is
// sorted on its own core, then the sorted slices are merged. The children of a folder are never
// the scope's root, so their titles are their names: the paths after `prefixLength`.
void sortForBrowsing(QList<VEntry>& entries, qsizetype prefixLength)
{
    // Read-only access, so the threads never touch the list's sharing state.
    const QList<VEntry>& read = entries;
    std::vector<std::optional<QCollatorSortKey>> keys(read.size());
    const auto before = [&](qsizetype a, qsizetype b) {
        if (read[a].folder != read[b].folder)
            return read[a].folder;
        return keys[a]->compare(*keys[b]) < 0;
    };
    std::vector<qsizetype> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::vector<Slice> slices = slicesOf(entries.size());
    inParallel(slices, [&](qsizetype begin, qsizetype end) {
        const QCollator collator = browserCollator();
        for (qsizetype i = begin; i < end; ++i) {
            const QString& path = read[i].path;
            const QString name = QString::fromRawData(path.constData() + prefixLength, path.size() - prefixLength);
            keys[i] = collator.sortKey(name);
        }
        std::stable_sort(order.begin() + begin, order.begin() + end, before);
    });
    for (const Slice& slice : slices)
        std::inplace_merge(order.begin(), order.begin() + slice.first, order.begin() + slice.second, before);
    QList<VEntry> sorted;
    sorted.reserve(entries.size());
    for (qsizetype index : order)
        sorted.append(std::move(entries[index]));
    entries = std::move(sorted);
}

}

namespace DiskTree {

QList<VEntry> children(const QString& path, bool hidden, std::optional<int> limit, std::stop_token stop)
{
    const std::string folder = path.toStdString();
    const auto status = FileStatus::of(folder);
    if (!status || !status->isDirectory())
        throw DiskViewerError();
    const auto scope = SessionDisk::current();
    if (!scope || !scope->valid())
        throw TrashProblem("Target disk is unavailable.");
    if (!scope->allows(folder, *status) || DiskScope::leadsToOtherVolumes(folder))
        return {};

    const UniqueFd fd = openFolder(folder);
    throwIfStopped(stop);
    const QString prefix = path == QLatin1String("/") ? path : path + u'/';
    const Admission admission(*scope, folder, prefix, fd.get(), hidden);
    QList<VEntry> entries = limit ? readFirst(fd.get(), admission, *limit, stop) : readAll(fd.get(), admission, stop);
    sortForBrowsing(entries, prefix.size());
    return entries;
}

std::optional<FileStatus> metadata(const QString& path)
{
    return DiskScope::info(path.toStdString());
}

}
