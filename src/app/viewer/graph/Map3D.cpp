#include "app/viewer/graph/Map3D.h"

#include "app/session/SessionDisk.h"
#include "app/viewer/graph/GraphLayout.h"
#include "app/viewer/graph/Map3DCoordinator.h"
#include "app/viewer/graph/OrbitView.h"
#include "app/viewer/graph/VectorMath.h"
#include "app/viewer/model/Branch.h"

#include <QVBoxLayout>

namespace {

// The model's entry for a dot: the open folder, a graph entry or a preview child.
std::optional<VEntry> entryAt(const Branch& b, const QString& path)
{
    if (b.folder().path == path)
        return b.folder();
    for (const VEntry& entry : b.graphEntries())
        if (entry.path == path)
            return entry;
    for (const QList<VEntry>& children : b.previews())
        for (const VEntry& child : children)
            if (child.path == path)
                return child;
    return std::nullopt;
}

// Composes an incremental turn after the current one; a degenerate product turns nothing.
Quaternion composed(const Quaternion& turn, const Quaternion& wheel)
{
    const Quaternion product = turn * wheel;
    return product.length() > 0 ? product.normalized() : Quaternion();
}

}

Map3D::Map3D(Branch& b, QWidget* parent)
    : QWidget(parent)
    , b(b)
    , coordinator_(std::make_unique<Coordinator>())
{
    makeView();
    connect(&b, &Branch::changed, this, &Map3D::updateView);
    updateView();
}

Map3D::~Map3D() = default;

void Map3D::makeView()
{
    view_ = new OrbitView(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    view_->reset();
    view_->setScene(&coordinator_->graph);
    // The model and the coordinator live as long as this view, so one binding serves every
    // update; binding anew inside a callback's own change notice would destroy it mid-call.
    bindCallbacks();
}

void Map3D::updateView()
{
    coordinator_->spin(b.wheel());
    copyModes();
    resetCamera();
    rebuildIfStale();
    coordinator_->select(b.selected() ? std::optional(b.selected()->path) : std::nullopt);
    view_->update();
}

void Map3D::bindCallbacks()
{
    view_->turn = [this](const Quaternion& q) {
        const Quaternion wheel = composed(q, b.wheel());
        b.setWheel(wheel);
        coordinator_->spin(wheel);
    };
    view_->draggableDots = [this]() -> const OrbitView::Dots& { return coordinator_->dots; };
    view_->centerOf = [this](const QString& path) { return coordinator_->centerOf(path); };
    view_->translate = [this](const QString& path, const Vec3& delta) { translate(path, delta); };
    view_->pick = [this](const QString& path, bool open) { pick(path, open); };
    view_->requestTrash = [this](const QString& path) { requestTrash(path); };
    view_->poseChanged = [this](const EyePose& pose) { b.setPose(pose); };
}

void Map3D::copyModes()
{
    view_->spin = b.spin();
    view_->setHand(b.hand());
    view_->mod = b.modView();
    if (b.hand() || !b.modView())
        view_->dragID.reset();
}

void Map3D::resetCamera()
{
    if (coordinator_->reset == b.cameraReset())
        return;
    coordinator_->reset = b.cameraReset();
    view_->moveTo(b.pose());
}

void Map3D::rebuildIfStale()
{
    if (coordinator_->stamp == b.stamp())
        return;
    coordinator_->stamp = b.stamp();
    coordinator_->rebuild(GraphLayout::of(b.folder(), b.graphEntries(), b.previews(), b.fullView()), b.offsets());
}

void Map3D::translate(const QString& path, const Vec3& delta)
{
    const Vec3 local = coordinator_->intoGraph(delta);
    if (!SessionDisk::writable() || !b.modView() || !coordinator_->anchors.contains(path))
        return;
    const Vec3 offset = coordinator_->anchors[path]->local.translation + local;
    b.setOffset(path, offset);
    coordinator_->apply(path, offset);
}

void Map3D::pick(const QString& path, bool open)
{
    const auto entry = entryAt(b, path);
    if (!entry)
        return;
    b.setSelected(*entry);
    if (open && entry->folder && entry->path != b.folder().path)
        b.load(VEntry {entry->path, true, entry->link, entry->bytes}, false, false);
}

void Map3D::requestTrash(const QString& path)
{
    if (const auto entry = entryAt(b, path))
        b.requestTrash(*entry);
}
