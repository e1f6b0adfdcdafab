#include "app/viewer/graph/OrbitView.h"

#include "app/session/SessionDisk.h"
#include "app/viewer/graph/LabelFont.h"
#include "app/viewer/graph/OrbitGesture.h"
#include "app/viewer/graph/ScenePicking.h"
#include "app/viewer/graph/SceneProjection.h"
#include "app/viewer/graph/VectorMath.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace {

// Labels smaller than this cannot be read, so they are not drawn.
constexpr double smallestLabel = 4;
// Drawn text is cached per text and size; a long session of zooming would keep every size.
constexpr int labelCacheLimit = 6000;

ScreenPoint pointOf(const QPointF& position)
{
    return {position.x(), position.y()};
}

}

const QColor OrbitView::background = QColor::fromRgbF(0.035f, 0.066f, 0.095f);

OrbitView::OrbitView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Rotatable 3D folder tree"));
    // Right clicks are handled at the press, as the menu's own trigger.
    setContextMenuPolicy(Qt::PreventContextMenu);
    camera_.width = std::max(width(), 1);
    camera_.height = std::max(height(), 1);
    camera_.aim();
}

void OrbitView::setScene(const SceneNode* root)
{
    scene_ = root;
    update();
}

void OrbitView::setHand(bool hand)
{
    if (hand == hand_)
        return;
    hand_ = hand;
    if (hand_)
        setCursor(Qt::OpenHandCursor);
    else
        unsetCursor();
}

void OrbitView::moveTo(const EyePose& pose)
{
    camera_.moveTo(pose);
    aim();
}

void OrbitView::aim()
{
    const EyePose pose = camera_.aim();
    if (poseChanged)
        poseChanged(pose);
    update();
}

void OrbitView::reset()
{
    camera_.reset();
    aim();
}

void OrbitView::pan(double right, double up)
{
    camera_.pan(right, up);
    aim();
}

std::optional<QString> OrbitView::hitAt(const ScreenPoint& point) const
{
    if (!scene_)
        return std::nullopt;
    if (auto sphere = ScenePicking::nearestHit(*scene_, camera_, point, sphereMask))
        return sphere;
    return ScenePicking::nearestHit(*scene_, camera_, point, labelMask);
}

std::optional<QString> OrbitView::target(const ScreenPoint& point, bool forDrag) const
{
    if (!scene_)
        return std::nullopt;
    const auto movable = [this](const QString& path) { return centerOf && centerOf(path).has_value(); };
    if (auto sphere = ScenePicking::nearestHit(*scene_, camera_, point, sphereMask))
        return !forDrag || movable(*sphere) ? sphere : std::nullopt;
    if (forDrag && draggableDots)
        if (auto near = ScenePicking::nearestDot(draggableDots(), camera_, point, movable))
            return near;
    auto label = ScenePicking::nearestHit(*scene_, camera_, point, labelMask);
    if (forDrag && label && !movable(*label))
        return std::nullopt;
    return label;
}

std::optional<ScreenPoint> OrbitView::pinOnScreen() const
{
    const auto seen = camera_.project(pin);
    return seen ? std::optional(seen->point) : std::nullopt;
}

void OrbitView::wheelDrag(const ScreenPoint& from, const ScreenPoint& to)
{
    const auto centre = pinOnScreen();
    if (!centre || !turn)
        return;
    const float theta = OrbitGesture::angle(from, to, *centre);
    if (theta == 0)
        return;
    turn(aboutAxis(camera_.viewingAxis(), theta));
    update();
}

void OrbitView::dragStep(const QString& path, double right, double up, bool depth)
{
    if (!centerOf || !translate)
        return;
    const auto centre = centerOf(path);
    if (!centre)
        return;
    const double distance = std::max(-camera_.toEye(*centre).z, 0.2);
    const Vec3 step = OrbitGesture::dotStep(right, up, depth, camera_.unitsPerPoint(distance));
    translate(path, camera_.eyeDirectionToWorld(step));
    update();
}

void OrbitView::orient(SceneNode& node, const Quaternion& q)
{
    node.local.rotation = q;
    node.local.translation = pin - rotate(q, pin);
}

QMenu* OrbitView::menuFor(const ScreenPoint& point)
{
    const auto path = hitAt(point);
    if (!path)
        return nullptr;
    if (pick)
        pick(*path, false);
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* remove = menu->addAction(QStringLiteral("Delete…"));
    remove->setData(*path);
    remove->setEnabled(SessionDisk::writable());
    connect(remove, &QAction::triggered, this, [this, target = *path] { trashFromMenu(target); });
    return menu;
}

void OrbitView::trashFromMenu(const QString& path)
{
    if (requestTrash)
        requestTrash(path);
}

void OrbitView::showMenu(const QPointF& at, const QPoint& global)
{
    if (QMenu* menu = menuFor(pointOf(at)))
        menu->popup(global);
}

void OrbitView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    camera_.width = std::max(width(), 1);
    camera_.height = std::max(height(), 1);
    camera_.aim();
}

void OrbitView::mousePressEvent(QMouseEvent* event)
{
    press(event, 1);
}

void OrbitView::mouseDoubleClickEvent(QMouseEvent* event)
{
    press(event, 2);
}

void OrbitView::press(QMouseEvent* event, int clickCount)
{
    const bool menuClick = event->button() == Qt::RightButton
                           || (event->button() == Qt::LeftButton && event->modifiers() & Qt::ControlModifier);
    if (menuClick) {
        moved_ = true;
        showMenu(event->position(), event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    origin_ = previous_ = pointOf(event->position());
    moved_ = false;
    clickCount_ = clickCount;
    dragID.reset();
    if (spin || hand_)
        return;
    if (mod)
        dragID = target(origin_, true);
}

void OrbitView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const ScreenPoint at = pointOf(event->position());
    if (OrbitGesture::isDrag(origin_, at))
        moved_ = true;
    if (moved_)
        dragTo(at, event->modifiers());
    previous_ = at;
}

void OrbitView::dragTo(const ScreenPoint& at, Qt::KeyboardModifiers modifiers)
{
    const double right = at.x - previous_.x;
    // The camera works with upward travel; the view's y grows downward.
    const double up = previous_.y - at.y;
    if (spin) {
        wheelDrag(previous_, at);
    } else if (hand_) {
        setCursor(Qt::ClosedHandCursor);
        pan(right, up);
    } else if (mod && dragID) {
        dragStep(*dragID, right, up, modifiers & Qt::ShiftModifier);
    } else {
        camera_.rotate(right, up);
        aim();
    }
}

void OrbitView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (!moved_) {
        const auto path = hitAt(pointOf(event->position()));
        if (path && pick)
            pick(*path, clickCount_ > 1);
    }
    if (hand_)
        setCursor(Qt::OpenHandCursor);
}

void OrbitView::wheelEvent(QWheelEvent* event)
{
    // Trackpads report pixel deltas; a mouse wheel reports notches of 120.
    const bool precise = !event->pixelDelta().isNull();
    const double delta = precise ? event->pixelDelta().y() : event->angleDelta().y() / 120.0;
    camera_.scroll(delta, precise);
    aim();
    event->accept();
}

void OrbitView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        camera_.rotate(-keyTurn, 0);
        break;
    case Qt::Key_Right:
        camera_.rotate(keyTurn, 0);
        break;
    case Qt::Key_Up:
        camera_.rotate(0, keyTurn);
        break;
    case Qt::Key_Down:
        camera_.rotate(0, -keyTurn);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        camera_.zoom(-keyZoom);
        break;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        camera_.zoom(keyZoom);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    aim();
    event->accept();
}

void OrbitView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void OrbitView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

bool OrbitView::event(QEvent* event)
{
    if (event->type() == QEvent::NativeGesture) {
        const auto* gesture = static_cast<QNativeGestureEvent*>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture) {
            camera_.pinch(gesture->value());
            aim();
            return true;
        }
    }
    return QWidget::event(event);
}

QColor OrbitView::colourOf(GraphLayout::Tint tint) const
{
    const bool dark = palette().color(QPalette::Window).lightnessF() < 0.5;
    const GraphLayout::Colour c = GraphLayout::colour(tint, dark);
    return QColor(c.red, c.green, c.blue);
}

void OrbitView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), background);
    if (scene_)
        paintScene(painter);
    if (hasFocus()) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5));
    }
}

void OrbitView::paintScene(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // Edges are opaque: translucent strokes take a much slower path in the raster engine.
    const QPen edge(colourOf(GraphLayout::edgeTint), 1);
    const QColor white = colourOf(GraphLayout::labelTint);
    painter.setPen(edge);
    labelSize_ = 0;
    SceneProjection::items(*scene_, camera_, items_);
    for (const DrawItem& item : items_) {
        switch (item.kind) {
        case DrawItem::Kind::line:
            painter.drawLine(QPointF(item.at.x, item.at.y), QPointF(item.to.x, item.to.y));
            break;
        case DrawItem::Kind::disc:
            painter.setPen(Qt::NoPen);
            painter.setBrush(colourOf(item.node->tint));
            painter.drawEllipse(QPointF(item.at.x, item.at.y), item.size, item.size);
            break;
        case DrawItem::Kind::label:
            painter.setPen(white);
            paintLabel(painter, item.node->text, item.at, item.size);
            break;
        }
    }
}

void OrbitView::paintLabel(QPainter& painter, const QString& text, const ScreenPoint& baselineCentre, double fontSize)
{
    if (fontSize < smallestLabel)
        return;
    const int size = int(std::lround(fontSize));
    const CachedLabel& label = cachedLabel(text, size);
    // Labels at one depth share a size; changing the painter's font is costly.
    if (size != labelSize_) {
        painter.setFont(label.font);
        labelSize_ = size;
    }
    painter.drawStaticText(QPointF(baselineCentre.x - label.width / 2, baselineCentre.y - label.ascent), label.text);
}

const OrbitView::CachedLabel& OrbitView::cachedLabel(const QString& text, int pixelSize)
{
    const auto key = qMakePair(text, pixelSize);
    auto found = labels_.find(key);
    if (found != labels_.end())
        return *found;
    if (labels_.size() > labelCacheLimit)
        labels_.clear();
    const QFont font = LabelFont::at(pixelSize);
    QStaticText staticText(text);
    staticText.setTextFormat(Qt::PlainText);
    staticText.prepare(QTransform(), font);
    const QFontMetricsF metrics(font);
    return *labels_.insert(key, {staticText, font, metrics.horizontalAdvance(text), metrics.ascent()});
}
