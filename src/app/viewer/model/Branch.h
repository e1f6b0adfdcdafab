#pragma once

#include "app/folders/VEntry.h"
#include "app/texts/OperationFailure.h"
#include "app/trash/TrashReview.h"
#include "app/viewer/model/EyePose.h"
#include "app/viewer/model/NameIndex.h"
#include "app/viewer/model/Quaternion.h"
#include "app/viewer/model/SavedLayout.h"
#include "app/viewer/model/Vec3.h"

#include <QFuture>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QUuid>

#include <limits>
#include <map>
#include <optional>
#include <set>
#include <stop_token>

class Authenticator;

// Everything one viewer window knows: the open folder and its children, previews, paging,
// the find filter, the modes, the camera pose and drag offsets, the saved-view slots and the
// status texts. Lives on the main thread and emits changed() after every change; folder
// reads run in the background and only the latest request's result is kept.
class Branch : public QObject {
    Q_OBJECT

public:
    using Previews = QMap<QString, QList<VEntry>>;

    static constexpr int span = 14;
    static constexpr int graphLimit = 200;
    // Full view shows this many entries at most before previews are skipped.
    static constexpr int previewedAtMost = 60;
    static constexpr int previewedChildren = 3;
    // The largest page whose first index still fits a signed 64-bit integer.
    static constexpr qint64 lastPage = std::numeric_limits<qint64>::max() / span;

    // The data folder's "Saved Views" by default.
    explicit Branch(QString slotDir = defaultSlotDir(), QObject* parent = nullptr);
    ~Branch() override;

    static QString defaultSlotDir();

    const std::optional<OperationFailure>& failure() const { return failure_; }
    const QString& notice() const { return notice_; }
    const std::optional<TrashReview>& pending() const { return pending_; }
    bool moving() const { return moving_; }
    const QString& slotDir() const { return slotDir_; }
    const std::set<int>& savedSlots() const { return savedSlots_; }
    const EyePose& pose() const { return pose_; }
    const Quaternion& wheel() const { return wheel_; }
    bool spin() const { return spin_; }
    bool hand() const { return hand_; }
    bool modView() const { return modView_; }
    const std::map<QString, Vec3>& offsets() const { return offsets_; }
    bool fullView() const { return fullView_; }
    const VEntry& folder() const { return folder_; }
    const QList<VEntry>& entries() const { return entries_; }
    const Previews& previews() const { return previews_; }
    const std::optional<VEntry>& selected() const { return selected_; }
    bool hidden() const { return hidden_; }
    qint64 page() const { return page_; }
    const QString& needle() const { return needle_; }
    const QString& message() const { return message_; }
    bool loading() const { return loading_; }
    const QUuid& stamp() const { return stamp_; }
    const QUuid& cameraReset() const { return cameraReset_; }
    const QUuid& generation() const { return generation_; }
    qint64 graphPage() const { return graphPage_; }

    // The entries whose titles contain the needle, ignoring case, in order.
    QList<VEntry> filtered() const;
    // One page of `filtered`, or all of it in full view.
    QList<VEntry> visible() const;
    // Changes whenever `visible` may have changed, so views can tell a new list from a new
    // selection without comparing lists.
    quint64 visibleRevision() const { return visibleRevision_; }
    qint64 pages() const;
    qint64 graphPages() const;
    // The graph page of `visible`: the graph never gets more than graphLimit entries.
    QList<VEntry> graphEntries() const;
    // Too many dots for their colours to mean much: the labels carry the names instead.
    bool namesShown() const;
    // The graph page that holds a visible entry's dot, or none for an entry not visible.
    std::optional<qint64> graphPageOf(const QString& path) const;
    // Selects an entry from the list, first bringing its dot onto the graph page shown.
    void selectListed(const VEntry& entry);

    // Set directly by the window and the scene.
    void setFailure(std::optional<OperationFailure> failure);
    void setNotice(const QString& notice);
    void setPending(std::optional<TrashReview> pending);
    // Asked before a move that needs authentication; without one such moves are refused.
    void setAuthenticator(Authenticator* authenticator);
    // The three drag modes; switching one on switches off those it excludes.
    void setSpin(bool spin);
    void setHand(bool hand);
    void setModView(bool modView);
    void setSelected(std::optional<VEntry> selected);
    void setHidden(bool hidden);
    void setNeedle(const QString& needle);
    // What typing into the find field does: the needle, then the first page of the list and of
    // the graph, no selection and fresh previews, announced once.
    void find(const QString& needle);
    // The pose, wheel and offsets follow the scene without a change notice of their own.
    void setPose(const EyePose& pose);
    void setWheel(const Quaternion& wheel);
    void setOffset(const QString& path, const Vec3& offset);

    // Opens a folder. keepPosition keeps the page and the find filter; preserveLayout keeps the
    // camera, wheel, spin, offsets and the selection.
    void load(const VEntry& entry, bool keepPosition, bool preserveLayout);
    void up();
    // Rereads the open folder, or its nearest surviving ancestor when it has gone.
    void reloadView(bool preserveLayout);
    void navigate(qint64 page);
    void showGraphPage(qint64 page);
    void setFull(bool full);
    void stopReading();
    // Blocks until every background read has ended; their results still arrive through the
    // event loop.
    void finishBackgroundReads();
    // Reads up to three children of every visible folder; reselects `restoring` if given.
    void preview(const std::optional<QString>& restoring);

    // Reviews an item for the Trash: a ticket in `pending`, or the refusal as a failure.
    void requestTrash(const VEntry& entry);
    // Moves the pending ticket's item once it is this review; the move runs in the background.
    void approve(const TrashReview& review);

    void saveView(int slot);
    void clearView(int slot);
    void recall(int slot);

signals:
    void changed();

private:
    struct ReadResult {
        QList<VEntry> entries;
        std::optional<QString> error;
    };

    void startRead(const QString& path, bool hidden, const QUuid& token, const std::optional<QString>& restoring);
    void readFinished(const QString& path, const QUuid& token, const ReadResult& result,
                      const std::optional<QString>& restoring);
    void indexEntries();
    void indexFinished(const QUuid& token, const NameIndex& names);
    void applyEntries(const QList<VEntry>& entries, const std::optional<QString>& restoring);
    void pruneOffsets();
    void startPreviews(const QList<VEntry>& folders, bool hidden, const QUuid& token,
                       const std::optional<QString>& restoring);
    void previewsFinished(const QUuid& token, const Previews& previews, const std::optional<QString>& restoring);
    std::optional<VEntry> findEntry(const QString& path, bool amongPreviews) const;
    void resetLayout();
    // load() without its change notice, for operations that change more afterwards.
    void open(const VEntry& entry, bool keepPosition, bool preserveLayout);
    void visibleChanged();
    void setModes(bool spin, bool hand, bool modView);

    // The file of one slot of a folder.
    QString slotURL(int slot, const QString& folder) const;
    void validateSlot(const QString& slot) const;
    void updateSavedSlots();
    void importLegacyViews();
    SavedLayout currentLayout() const;
    void applyLayoutModes(const SavedLayout& layout);

    // One background job and the stop source that cancels it; the pool waits for every job,
    // superseded ones included, before the model goes.
    struct Task {
        QFuture<void> future;
        std::stop_source stop;
    };

    QThreadPool pool_;
    Task readTask_;
    Task previewTask_;
    QFuture<void> indexTask_;

    std::optional<OperationFailure> failure_;
    QString notice_;
    std::optional<TrashReview> pending_;
    bool moving_ = false;
    Authenticator* authenticator_ = nullptr;
    const QString slotDir_;
    std::set<int> savedSlots_;
    EyePose pose_;
    Quaternion wheel_;
    bool spin_ = false;
    bool hand_ = false;
    bool modView_ = false;
    std::map<QString, Vec3> offsets_;
    bool fullView_;
    VEntry folder_;
    QList<VEntry> entries_;
    // The entries' names, for the find filter.
    NameIndex nameIndex_;
    QUuid indexedGeneration_;
    Previews previews_;
    std::optional<VEntry> selected_;
    bool hidden_ = false;
    qint64 page_ = 0;
    QString needle_;
    QString message_;
    bool loading_ = false;
    QUuid stamp_ = QUuid::createUuid();
    QUuid cameraReset_ = QUuid::createUuid();
    QUuid generation_ = QUuid::createUuid();
    QUuid previewID_ = QUuid::createUuid();
    qint64 graphPage_ = 0;

    quint64 visibleRevision_ = 1;
    // `filtered` and `visible` as of visibleRevision_; both are asked for often and cost a
    // pass over every entry.
    mutable quint64 cachedRevision_ = 0;
    mutable QList<VEntry> filteredCache_;
    mutable QList<VEntry> visibleCache_;
};
