#pragma once

#include "app/viewer/graph/DrawItem.h"
#include "app/viewer/graph/OrbitCamera.h"
#include "app/viewer/graph/SceneNode.h"
#include "app/viewer/graph/ScreenPoint.h"
#include "app/viewer/model/EyePose.h"
#include "app/viewer/model/Quaternion.h"
#include "app/viewer/model/Vec3.h"

#include <QColor>
#include <QHash>
#include <QStaticText>
#include <QWidget>

#include <functional>
#include <map>
#include <optional>
#include <vector>

class QMenu;

// The 3D graph's view: an orbit camera driven by the mouse, wheel and pinch, and a painter of
// the projected scene. It knows nothing of folders; it reports paths and vectors through the
// callbacks, which the scene builder binds to the viewer model.
class OrbitView : public QWidget {
    Q_OBJECT

public:
    using Dots = std::map<QString, SceneNode*>;

    static constexpr int sphereMask = SceneNode::sphereMask;
    static constexpr int labelMask = SceneNode::labelMask;
    // The centre dot's position and the pivot of the spin.
    static constexpr Vec3 pin {0, 3.5, 0};
    static const QColor background;
    // One arrow key press turns the camera as far as this much mouse travel, in points.
    static constexpr double keyTurn = 20;
    // One "+" or "−" press zooms by e^keyZoom.
    static constexpr double keyZoom = 0.15;

    explicit OrbitView(QWidget* parent = nullptr);

    // The scene drawn; not owned.
    void setScene(const SceneNode* root);

    bool mod = false;
    std::optional<QString> dragID;
    std::function<const Dots&()> draggableDots;
    std::function<std::optional<Vec3>(const QString&)> centerOf;
    std::function<void(const QString&, const Vec3&)> translate;
    std::function<void(const QString&, bool open)> pick;
    std::function<void(const QString&)> requestTrash;
    bool spin = false;
    std::function<void(const Quaternion&)> turn;
    std::function<void(const EyePose&)> poseChanged;

    bool hand() const { return hand_; }
    void setHand(bool hand);

    const OrbitCamera& camera() const { return camera_; }
    // Puts the camera at a pose, focus at the origin when it has no pan.
    void moveTo(const EyePose& pose);
    void aim();
    void reset();
    // Mouse travel in points, positive rightward and upward.
    void pan(double right, double up);

    std::optional<QString> target(const ScreenPoint& point, bool forDrag) const;
    void wheelDrag(const ScreenPoint& from, const ScreenPoint& to);
    void dragStep(const QString& path, double right, double up, bool depth);
    // Where the centre dot lands in the view.
    std::optional<ScreenPoint> pinOnScreen() const;
    // The "Delete…" menu for the dot or label at the point, which is selected; none elsewhere.
    // The menu belongs to this view and deletes itself when closed.
    QMenu* menuFor(const ScreenPoint& point);

    // Turns a node about the pin.
    static void orient(SceneNode& node, const Quaternion& q);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct CachedLabel {
        QStaticText text;
        QFont font;
        double width;
        double ascent;
    };

    void press(QMouseEvent* event, int clickCount);
    void showMenu(const QPointF& at, const QPoint& global);
    void trashFromMenu(const QString& path);
    void dragTo(const ScreenPoint& at, Qt::KeyboardModifiers modifiers);
    std::optional<QString> hitAt(const ScreenPoint& point) const;
    void paintScene(QPainter& painter);
    void paintLabel(QPainter& painter, const QString& text, const ScreenPoint& baselineCentre, double fontSize);
    const CachedLabel& cachedLabel(const QString& text, int pixelSize);
    QColor colourOf(GraphLayout::Tint tint) const;

    OrbitCamera camera_;
    const SceneNode* scene_ = nullptr;
    bool hand_ = false;
    ScreenPoint origin_;
    ScreenPoint previous_;
    bool moved_ = false;
    int clickCount_ = 0;
    QHash<QPair<QString, int>, CachedLabel> labels_;
    std::vector<DrawItem> items_;
    int labelSize_ = 0;
};
