#include "app/viewer/model/Branch.h"

#include "app/folders/DiskTree.h"
#include "app/session/Preferences.h"
#include "app/session/SessionDisk.h"
#include "app/viewer/model/SlotFiles.h"
#include "shared/InstallSafety.h"
#include "shared/Paths.h"
#include "shared/Problem.h"

#include <QSet>
#include <QtConcurrent>

#include <algorithm>
#include <cmath>

static_assert(SavedLayout::mostOffsets == Branch::graphLimit * (1 + Branch::previewedChildren) + 1,
              "a saved layout holds at most one offset per dot of a view");

namespace {

QString parentPath(const QString& path)
{
    return QString::fromStdString(Paths::parent(path.toStdString()));
}

VEntry folderEntry(const QString& path)
{
    return VEntry {path, true, false, 0};
}

QString describe(const std::exception& error)
{
    return QString::fromUtf8(error.what());
}

qint64 clamped(qint64 value, qint64 highest)
{
    return std::clamp<qint64>(value, 0, std::max<qint64>(0, highest));
}

}

Branch::Branch(QString slotDir, QObject* parent)
    : QObject(parent),
      slotDir_(std::move(slotDir)),
      fullView_(Preferences::fullView())
{
    const auto scope = SessionDisk::current();
    folder_ = folderEntry(scope ? QString::fromStdString(scope->root()) : QStringLiteral("/"));
    if (SessionDisk::writable())
        importLegacyViews();
    updateSavedSlots();
}

Branch::~Branch()
{
    readTask_.stop.request_stop();
    previewTask_.stop.request_stop();
    pool_.waitForDone();
}

QString Branch::defaultSlotDir()
{
    const auto scope = SessionDisk::current();
    if (scope)
        return QString::fromStdString(scope->savedViews());
    return SessionDisk::defaultData() + QStringLiteral("/Saved Views");
}

QList<VEntry> Branch::filtered() const
{
    if (cachedRevision_ == visibleRevision_)
        return filteredCache_;
    filteredCache_.clear();
    if (needle_.isEmpty()) {
        filteredCache_ = entries_;
    } else {
        // The entries are a folder's children, never the scope's root: their titles are their names.
        if (nameIndex_.size() == entries_.size()) {
            for (const qsizetype index : nameIndex_.matching(needle_))
                filteredCache_.append(entries_.at(index));
        } else {
            // Until the folder's index has arrived.
            for (const VEntry& entry : entries_)
                if (entry.name().contains(needle_, Qt::CaseInsensitive))
                    filteredCache_.append(entry);
        }
    }
    visibleCache_ = fullView_ ? filteredCache_
                              : filteredCache_.mid(std::min<qint64>(page_ * span, filteredCache_.size()), span);
    cachedRevision_ = visibleRevision_;
    return filteredCache_;
}

QList<VEntry> Branch::visible() const
{
    filtered();
    return visibleCache_;
}

void Branch::visibleChanged()
{
    ++visibleRevision_;
}

qint64 Branch::pages() const
{
    const qint64 count = filtered().size();
    return count == 0 ? 1 : (count + span - 1) / span;
}

qint64 Branch::graphPages() const
{
    const qint64 count = visible().size();
    return count == 0 ? 1 : (count + graphLimit - 1) / graphLimit;
}

QList<VEntry> Branch::graphEntries() const
{
    const QList<VEntry> shown = visible();
    if (shown.size() <= graphLimit)
        return shown;
    return shown.mid(graphLimit * std::min<qint64>(graphPage_, (shown.size() - 1) / graphLimit), graphLimit);
}

bool Branch::namesShown() const
{
    return fullView_ && visible().size() > previewedAtMost;
}

std::optional<qint64> Branch::graphPageOf(const QString& path) const
{
    const QList<VEntry> shown = visible();
    const auto found = std::find_if(shown.begin(), shown.end(), [&](const VEntry& e) { return e.path == path; });
    if (found == shown.end())
        return std::nullopt;
    return static_cast<qint64>(found - shown.begin()) / graphLimit;
}

void Branch::selectListed(const VEntry& entry)
{
    if (visible().size() > graphLimit)
        if (const auto page = graphPageOf(entry.path); page && *page != graphPage_)
            showGraphPage(*page);
    setSelected(entry);
}

void Branch::setFailure(std::optional<OperationFailure> failure)
{
    failure_ = std::move(failure);
    emit changed();
}

void Branch::setNotice(const QString& notice)
{
    notice_ = notice;
    emit changed();
}

// Spin and Hand each turn the other off; Modify turns both off. Turning any of them off
// leaves the others as they are.
void Branch::setSpin(bool spin)
{
    setModes(spin, spin ? false : hand_, modView_);
}

void Branch::setHand(bool hand)
{
    setModes(hand ? false : spin_, hand, modView_);
}

void Branch::setModView(bool modView)
{
    setModes(modView ? false : spin_, modView ? false : hand_, modView);
}

void Branch::setModes(bool spin, bool hand, bool modView)
{
    if (spin == spin_ && hand == hand_ && modView == modView_)
        return;
    spin_ = spin;
    hand_ = hand;
    modView_ = modView;
    emit changed();
}

void Branch::setSelected(std::optional<VEntry> selected)
{
    selected_ = std::move(selected);
    emit changed();
}

void Branch::setHidden(bool hidden)
{
    hidden_ = hidden;
    emit changed();
}

void Branch::setNeedle(const QString& needle)
{
    needle_ = needle;
    visibleChanged();
    emit changed();
}

void Branch::find(const QString& needle)
{
    needle_ = needle;
    graphPage_ = 0;
    page_ = 0;
    visibleChanged();
    selected_.reset();
    preview(std::nullopt);
}

void Branch::setPose(const EyePose& pose)
{
    pose_ = pose;
}

void Branch::setWheel(const Quaternion& wheel)
{
    wheel_ = wheel;
}

void Branch::setOffset(const QString& path, const Vec3& offset)
{
    offsets_[path] = offset;
}

void Branch::load(const VEntry& entry, bool keepPosition, bool preserveLayout)
{
    open(entry, keepPosition, preserveLayout);
    emit changed();
}

void Branch::open(const VEntry& entry, bool keepPosition, bool preserveLayout)
{
    const auto scope = SessionDisk::current();
    if (!entry.folder || !scope || !DiskScope::inside(entry.path.toStdString(), scope->root()))
        return;
    std::optional<QString> restoring;
    if (!preserveLayout)
        resetLayout();
    else if (selected_)
        restoring = selected_->path;
    generation_ = QUuid::createUuid();
    if (folder_.path != entry.path) {
        notice_.clear();
        graphPage_ = 0;
    }
    folder_ = entry;
    updateSavedSlots();
    if (!keepPosition) {
        page_ = 0;
        needle_.clear();
    }
    entries_.clear();
    nameIndex_ = NameIndex();
    visibleChanged();
    selected_.reset();
    loading_ = true;
    message_ = QStringLiteral("Reading folder…");
    previews_.clear();
    previewID_ = QUuid::createUuid();
    stamp_ = QUuid::createUuid();
    readTask_.stop.request_stop();
    previewTask_.stop.request_stop();
    startRead(entry.path, hidden_, generation_, restoring);
}

void Branch::resetLayout()
{
    spin_ = false;
    wheel_ = Quaternion();
    offsets_.clear();
    pose_ = EyePose();
    cameraReset_ = QUuid::createUuid();
}

void Branch::startRead(const QString& path, bool hidden, const QUuid& token, const std::optional<QString>& restoring)
{
    readTask_ = Task();
    const std::stop_token stop = readTask_.stop.get_token();
    readTask_.future = QtConcurrent::run(&pool_, [this, path, hidden, token, restoring, stop] {
        ReadResult result;
        try {
            result.entries = DiskTree::children(path, hidden, std::nullopt, stop);
        } catch (const std::exception& error) {
            result.error = describe(error);
        }
        QMetaObject::invokeMethod(
            this, [this, path, token, result, restoring] { readFinished(path, token, result, restoring); },
            Qt::QueuedConnection);
    });
}

void Branch::readFinished(const QString& path, const QUuid& token, const ReadResult& result,
                          const std::optional<QString>& restoring)
{
    // Only the latest request's result counts; a cancelled read is always superseded.
    if (token != generation_)
        return;
    loading_ = false;
    if (result.error) {
        message_ = QStringLiteral("Cannot read this folder: ") + *result.error;
        failure_ = OperationFailure(QStringLiteral("Cannot read this folder"),
                                    path + u'\n' + *result.error);
        emit changed();
        return;
    }
    applyEntries(result.entries, restoring);
}

void Branch::indexFinished(const QUuid& token, const NameIndex& names)
{
    // The filter's result is the same either way, so nothing needs announcing.
    if (token == generation_)
        nameIndex_ = names;
}

void Branch::applyEntries(const QList<VEntry>& entries, const std::optional<QString>& restoring)
{
    entries_ = entries;
    visibleChanged();
    pruneOffsets();
    page_ = std::min(page_, std::max<qint64>(0, pages() - 1));
    visibleChanged();
    graphPage_ = std::min(graphPage_, std::max<qint64>(0, graphPages() - 1));
    message_ = entries_.isEmpty() ? QStringLiteral("No visible entries in this folder.") : QString();
    preview(restoring);
}

// Keeps the offsets of listed entries, and of preview items whose folder is still listed and
// which are still on disk.
void Branch::pruneOffsets()
{
    if (offsets_.empty())
        return;
    QSet<QString> listed;
    QSet<QString> listedFolders;
    for (const VEntry& entry : std::as_const(entries_)) {
        listed.insert(entry.path);
        if (entry.folder)
            listedFolders.insert(entry.path);
    }
    std::erase_if(offsets_, [&](const auto& item) {
        const QString& path = item.first;
        if (listed.contains(path))
            return false;
        return !listedFolders.contains(parentPath(path)) || !DiskTree::metadata(path);
    });
}

void Branch::preview(const std::optional<QString>& restoring)
{
    previewID_ = QUuid::createUuid();
    const QList<VEntry> shown = visible();
    QList<VEntry> folders;
    if (!fullView_ || shown.size() <= previewedAtMost)
        std::copy_if(shown.begin(), shown.end(), std::back_inserter(folders), [](const VEntry& e) {
            return e.folder;
        });
    previews_.clear();
    stamp_ = QUuid::createUuid();
    previewTask_.stop.request_stop();
    if (!folders.isEmpty())
        startPreviews(folders, hidden_, previewID_, restoring);
    else if (restoring)
        selected_ = findEntry(*restoring, false);
    if (folders.isEmpty())
        indexEntries();
    emit changed();
}

// Builds the find index once the first page and its previews are in place, so that it never
// delays them; until it arrives the filter reads the entries themselves.
void Branch::indexEntries()
{
    if (indexedGeneration_ == generation_ || entries_.isEmpty())
        return;
    indexedGeneration_ = generation_;
    const QList<VEntry> entries = entries_;
    const QUuid token = generation_;
    indexTask_ = QtConcurrent::run(&pool_, [this, entries, token] {
        const NameIndex names(entries);
        QMetaObject::invokeMethod(this, [this, token, names] { indexFinished(token, names); }, Qt::QueuedConnection);
    });
}

void Branch::startPreviews(const QList<VEntry>& folders, bool hidden, const QUuid& token,
                           const std::optional<QString>& restoring)
{
    previewTask_ = Task();
    const std::stop_token stop = previewTask_.stop.get_token();
    previewTask_.future = QtConcurrent::run(&pool_, [this, folders, hidden, token, restoring, stop] {
        Previews found;
        for (const VEntry& folder : folders) {
            if (stop.stop_requested())
                break;
            try {
                found.insert(folder.path, DiskTree::children(folder.path, hidden, previewedChildren, stop));
            } catch (const std::exception&) {
                // A folder that cannot be read simply has no preview.
            }
        }
        QMetaObject::invokeMethod(
            this, [this, token, found, restoring] { previewsFinished(token, found, restoring); },
            Qt::QueuedConnection);
    });
}

void Branch::previewsFinished(const QUuid& token, const Previews& previews, const std::optional<QString>& restoring)
{
    if (token != previewID_)
        return;
    previews_ = previews;
    stamp_ = QUuid::createUuid();
    if (!selected_ && restoring)
        selected_ = findEntry(*restoring, true);
    indexEntries();
    emit changed();
}

std::optional<VEntry> Branch::findEntry(const QString& path, bool amongPreviews) const
{
    if (folder_.path == path)
        return folder_;
    for (const VEntry& entry : visible())
        if (entry.path == path)
            return entry;
    if (amongPreviews)
        for (const QList<VEntry>& children : previews_)
            for (const VEntry& entry : children)
                if (entry.path == path)
                    return entry;
    return std::nullopt;
}

void Branch::up()
{
    load(folderEntry(parentPath(folder_.path)), false, false);
}

void Branch::reloadView(bool preserveLayout)
{
    const auto scope = SessionDisk::current();
    const QString top = scope ? QString::fromStdString(scope->root()) : QStringLiteral("/");
    QString path = folder_.path;
    while (path != top && path != QLatin1String("/")) {
        const auto status = DiskTree::metadata(path);
        if (status && status->isDirectory())
            break;
        path = parentPath(path);
    }
    if (path == folder_.path) {
        notice_.clear();
        load(folderEntry(path), true, preserveLayout);
        return;
    }
    // Opening another folder clears the notice, so it is set once the folder is open.
    load(folderEntry(path), false, false);
    notice_ = QStringLiteral("The previous folder is no longer available. Showing ") + path;
    emit changed();
}

void Branch::navigate(qint64 page)
{
    page_ = clamped(page, pages() - 1);
    visibleChanged();
    selected_.reset();
    preview(std::nullopt);
}

void Branch::showGraphPage(qint64 page)
{
    graphPage_ = clamped(page, graphPages() - 1);
    stamp_ = QUuid::createUuid();
    emit changed();
}

void Branch::setFull(bool full)
{
    if (full == fullView_)
        return;
    graphPage_ = 0;
    fullView_ = full;
    visibleChanged();
    if (SessionDisk::writable())
        Preferences::setFullView(full);
    if (!full && selected_) {
        const QList<VEntry> all = filtered();
        const auto found
            = std::find_if(all.begin(), all.end(), [&](const VEntry& e) { return e.path == selected_->path; });
        if (found != all.end())
            page_ = (found - all.begin()) / span;
        visibleChanged();
    }
    preview(std::nullopt);
}

void Branch::finishBackgroundReads()
{
    pool_.waitForDone();
}

void Branch::stopReading()
{
    readTask_.stop.request_stop();
    previewTask_.stop.request_stop();
    generation_ = QUuid::createUuid();
    previewID_ = QUuid::createUuid();
    loading_ = false;
    emit changed();
}

void Branch::setPending(std::optional<TrashReview> pending)
{
    pending_ = std::move(pending);
    emit changed();
}

void Branch::setAuthenticator(Authenticator* authenticator)
{
    authenticator_ = authenticator;
}

void Branch::requestTrash(const VEntry& entry)
{
    if (!SessionDisk::writable() || moving_ || pending_)
        return;
    try {
        pending_ = TrashReview(entry);
    } catch (const Problem& problem) {
        notice_ = describe(problem);
        failure_ = OperationFailure(QStringLiteral("Cannot move item to Trash"), notice_);
    }
    emit changed();
}

void Branch::approve(const TrashReview& review)
{
    if (!SessionDisk::writable() || moving_ || !pending_ || pending_->id != review.id)
        return;
    pending_.reset();
    moving_ = true;
    emit changed();
    review.moveAfterApproval(authenticator_, this, [this, path = review.entry.path](std::optional<QString> failure) {
        if (failure) {
            notice_ = QStringLiteral("Nothing was moved: ") + *failure;
            failure_ = OperationFailure(QStringLiteral("Could not move item to Trash"), *failure);
        } else {
            if (path == folder_.path || folder_.path.startsWith(path + QLatin1Char('/')))
                load(folderEntry(parentPath(path)), false, false);
            else
                load(VEntry(folder_), false, false);
            notice_ = QStringLiteral("Moved to Trash: ") + path;
        }
        moving_ = false;
        emit changed();
    });
}

QString Branch::slotURL(int slot, const QString& folder) const
{
    return SlotFiles::path(slotDir_, slot, folder);
}

void Branch::validateSlot(const QString& slot) const
{
    SlotFiles::validate(slot, folder_.path);
}

void Branch::updateSavedSlots()
{
    savedSlots_.clear();
    for (int slot = 1; slot <= 3; ++slot) {
        const auto status = DiskTree::metadata(slotURL(slot, folder_.path));
        if (status && status->size > 0)
            savedSlots_.insert(slot);
    }
}

void Branch::importLegacyViews()
{
    for (int slot = 1; slot <= 3; ++slot) {
        const QString legacy = SlotFiles::legacyPath(slotDir_, slot);
        if (!DiskTree::metadata(legacy))
            continue;
        try {
            const QByteArray bytes = SlotFiles::contents(legacy);
            const QString target = slotURL(slot, SavedLayout::decoded(bytes).folder);
            if (DiskTree::metadata(target))
                continue;
            const QString folder = parentPath(target);
            InstallSafety::checkDirectories(folder.toStdString());
            SlotFiles::makeFolder(folder);
            SlotFiles::create(target, bytes);
        } catch (const std::exception& error) {
            notice_ = QStringLiteral("Could not import View") + QString::number(slot) + QStringLiteral(": ")
                      + describe(error);
        }
    }
}

SavedLayout Branch::currentLayout() const
{
    SavedLayout layout;
    layout.folder = folder_.path;
    layout.full = fullView_;
    layout.mod = modView_;
    layout.hidden = hidden_;
    layout.page = page_;
    layout.filter = needle_;
    layout.eye = pose_;
    for (const auto& [path, offset] : offsets_)
        layout.offsets[path] = Shift3::from(offset);
    layout.hand = hand_;
    layout.wheel = {wheel_.x, wheel_.y, wheel_.z, wheel_.w};
    return layout;
}

void Branch::saveView(int slot)
{
    if (!SessionDisk::writable() || slot < 1 || slot > 3 || loading_)
        return;
    try {
        const QString file = slotURL(slot, folder_.path);
        validateSlot(file);
        SlotFiles::makeFolder(parentPath(file));
        SlotFiles::replace(file, currentLayout().encoded());
        savedSlots_.insert(slot);
        notice_ = QStringLiteral("Saved View") + QString::number(slot) + QStringLiteral(" • ") + folder_.path;
    } catch (const std::exception& error) {
        notice_ = QStringLiteral("Could not save view: ") + describe(error);
        failure_ = OperationFailure(QStringLiteral("Could not save view"), describe(error));
    }
    emit changed();
}

void Branch::clearView(int slot)
{
    if (!SessionDisk::writable() || !savedSlots_.count(slot))
        return;
    try {
        const QString file = slotURL(slot, folder_.path);
        validateSlot(file);
        SlotFiles::replace(file, QByteArray());
        savedSlots_.erase(slot);
        notice_ = QStringLiteral("Cleared View") + QString::number(slot) + QStringLiteral(" • ") + folder_.path;
    } catch (const std::exception& error) {
        notice_ = QStringLiteral("Could not clear view: ") + describe(error);
        failure_ = OperationFailure(QStringLiteral("Could not clear view"), describe(error));
    }
    emit changed();
}

void Branch::recall(int slot)
{
    const QString number = QString::number(slot);
    SavedLayout layout;
    try {
        layout = SlotFiles::read(slotURL(slot, folder_.path));
    } catch (const std::exception& error) {
        notice_ = QStringLiteral("Could not open View") + number + QStringLiteral(": ") + describe(error);
        emit changed();
        return;
    }
    if (layout.folder != folder_.path) {
        notice_ = QStringLiteral("Saved view belongs to a different folder.");
    } else if (const auto status = DiskTree::metadata(layout.folder); !status || !status->isDirectory()) {
        notice_ = QStringLiteral("The folder for View") + number + QStringLiteral(" is no longer available: ")
                  + layout.folder;
    } else {
        applyLayoutModes(layout);
        open(folderEntry(layout.folder), true, false);
        // What the reload reset comes back from the layout.
        if (layout.wheel) {
            const auto& [x, y, z, w] = *layout.wheel;
            const Quaternion stored {x, y, z, w};
            if (std::abs(stored.length() - 1) <= 0.01f)
                wheel_ = stored.normalized();
        }
        pose_ = layout.eye;
        // A fresh token once the saved pose is in place: the scene moves the camera to it
        // however its updates interleave with this one.
        cameraReset_ = QUuid::createUuid();
        offsets_.clear();
        for (const auto& [path, shift] : layout.offsets)
            offsets_[path] = shift.vector();
        notice_ = QStringLiteral("Restored View") + number + QStringLiteral(" • ") + layout.folder;
    }
    emit changed();
}

void Branch::applyLayoutModes(const SavedLayout& layout)
{
    hand_ = layout.hand.value_or(false);
    fullView_ = layout.full;
    modView_ = layout.mod && SessionDisk::writable();
    hidden_ = layout.hidden;
    page_ = std::clamp<qint64>(layout.page, 0, lastPage);
    needle_ = layout.filter;
    visibleChanged();
}
