#include "ViewerSession.h"
#include "app/viewer/graph/Map3D.h"
#include "app/viewer/graph/Map3DCoordinator.h"
#include "app/viewer/graph/OrbitView.h"
#include "app/viewer/graph/VectorMath.h"

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A viewer on a folder holding "alpha" (previewing its folder "inner"), "beta.txt" and "gamma".
class Viewer {
public:
    explicit Viewer(bool readOnly = false)
        : session(readOnly)
        , b(session.viewsFolder())
        , map(b)
    {
        Files::makeFolder(session / "alpha/inner");
        Files::make(session / "beta.txt", 10);
        Files::makeFolder(session / "gamma");
        map.resize(800, 600);
        map.show();
        opened = openAndSettle(b, session.path());
    }

    OrbitView& view() { return map.view(); }
    Map3D::Coordinator& scene() { return map.coordinator(); }
    QString path(const std::string& name = {}) const { return session.path(name); }

    QPointF at(const QString& path)
    {
        const auto seen = view().camera().project(scene().dots.at(path)->worldPosition());
        return {seen->point.x, seen->point.y};
    }

    void send(QEvent::Type type, const QPointF& point, Qt::MouseButton button, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers modifiers = {})
    {
        QMouseEvent event(type, point, view().mapToGlobal(point), button, buttons, modifiers);
        QApplication::sendEvent(&view(), &event);
    }

    void scroll(int notches)
    {
        const QPointF middle(400, 300);
        QWheelEvent event(middle, view().mapToGlobal(middle), {}, {0, 120 * notches}, Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view(), &event);
    }

    void click(const QPointF& point, Qt::MouseButton button = Qt::LeftButton)
    {
        send(QEvent::MouseButtonPress, point, button, button);
        send(QEvent::MouseButtonRelease, point, button, Qt::NoButton);
    }

    // A left drag in small steps, as a mouse reports it.
    void drag(const QPointF& from, const QPointF& to, Qt::KeyboardModifiers modifiers = {})
    {
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, modifiers);
        const int steps = 8;
        for (int i = 1; i <= steps; ++i)
            send(QEvent::MouseMove, from + (to - from) * i / steps, Qt::NoButton, Qt::LeftButton, modifiers);
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton, modifiers);
    }

    QString selected() const { return b.selected() ? b.selected()->path : QString(); }

    ViewerSession session;
    Branch b;
    Map3D map;
    bool opened = false;
};

// The width of the disc's own colour on the row through its centre, in pixels.
int discWidth(const QImage& image, const QPointF& centre)
{
    const QPoint start = centre.toPoint();
    const QRgb colour = image.pixel(start);
    int left = start.x();
    int right = start.x();
    while (left > 0 && image.pixel(left - 1, start.y()) == colour)
        --left;
    while (right + 1 < image.width() && image.pixel(right + 1, start.y()) == colour)
        ++right;
    return right - left + 1;
}

QImage rendered(OrbitView& view)
{
    QImage image(view.size(), QImage::Format_RGB32);
    view.render(&image);
    return image;
}

}

TEST(OrbitView, ClickSelectsAndOnlyTravelBeyondThreePointsIsADrag)
{
    Viewer v;
    ASSERT_TRUE(v.opened);
    const QPointF beta = v.at(v.path("beta.txt"));
    const SceneNode* node = v.scene().dots[v.path("beta.txt")];
    v.drag(beta, beta + QPointF(3, 0));
    EXPECT_EQ(v.selected(), v.path("beta.txt")) << "3 points of travel is still a click";
    EXPECT_EQ(v.scene().dots[v.path("beta.txt")], node) << "selecting rebuilds nothing";

    const QPointF gamma = v.at(v.path("gamma"));
    const float yaw = v.view().camera().yaw;
    v.drag(gamma, gamma + QPointF(4, 0));
    EXPECT_EQ(v.selected(), v.path("beta.txt")) << "4 points is a drag and selects nothing";
    EXPECT_NE(v.view().camera().yaw, yaw) << "a plain drag turns the camera";
    EXPECT_EQ(v.b.pose(), v.view().camera().pose()) << "the model follows the camera";

    v.click({5, 5});
    EXPECT_EQ(v.selected(), v.path("beta.txt")) << "a click on empty space keeps the selection";
}

TEST(OrbitView, DoubleClickOpensFoldersAndOnlySelectsFiles)
{
    Viewer v;
    ASSERT_TRUE(v.opened);
    const QPointF beta = v.at(v.path("beta.txt"));
    v.click(beta);
    v.send(QEvent::MouseButtonDblClick, beta, Qt::LeftButton, Qt::LeftButton);
    v.send(QEvent::MouseButtonRelease, beta, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(v.b.folder().path, v.path());
    EXPECT_EQ(v.selected(), v.path("beta.txt"));

    const QPointF centre = v.at(v.path());
    v.click(centre);
    v.send(QEvent::MouseButtonDblClick, centre, Qt::LeftButton, Qt::LeftButton);
    v.send(QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(v.b.loading()) << "the open folder is not opened again";
    EXPECT_EQ(v.selected(), v.path());

    const QPointF alpha = v.at(v.path("alpha"));
    v.click(alpha);
    v.send(QEvent::MouseButtonDblClick, alpha, Qt::LeftButton, Qt::LeftButton);
    v.send(QEvent::MouseButtonRelease, alpha, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(v.b.folder().path, v.path("alpha"));
    ASSERT_TRUE(waitUntil([&] { return settled(v.b); }));
    EXPECT_TRUE(v.scene().dots.contains(v.path("alpha/inner"))) << "the scene was rebuilt for the new folder";
    EXPECT_FALSE(v.scene().dots.contains(v.path("beta.txt")));
}

TEST(OrbitView, RightClickOffersDeleteOnDotsOnly)
{
    Viewer v(true);
    ASSERT_TRUE(v.opened);
    v.click({5, 5}, Qt::RightButton);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "empty space has no menu";

    v.click(v.at(v.path("gamma")), Qt::RightButton);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), "Delete…");
    EXPECT_FALSE(menu->actions()[0]->isEnabled()) << "a read-only session cannot delete";
    EXPECT_EQ(v.selected(), v.path("gamma")) << "the menu's item is selected";
    menu->close();
}

TEST(OrbitView, ModifyDragMovesOnlyThatDotAndItsEdge)
{
    Viewer v;
    ASSERT_TRUE(v.opened);
    const QString beta = v.path("beta.txt");
    std::map<QString, Vec3> before;
    for (const auto& [path, node] : v.scene().dots)
        before[path] = node->worldPosition();
    v.scroll(-10);
    const SceneNode* betaNode = v.scene().dots[beta];
    const SceneNode* alphaEdge = v.scene().edges[v.path("alpha")];
    const Vec3 alphaEnd = alphaEdge->lineTo;
    const QPointF dot = v.at(beta);

    v.b.setModView(true);
    // Zoomed out, the dot is small: a press beside it, within the proximity radius, grabs it.
    ASSERT_LT(v.view().camera().projectedRadius(before[beta], 0.3), 5);
    const QPointF start = dot + QPointF(0, 6.5);
    v.drag(start, start + QPointF(60, -20));

    EXPECT_EQ(v.scene().dots[beta], betaNode) << "nothing was rebuilt";
    ASSERT_TRUE(v.b.offsets().contains(beta));
    EXPECT_NEAR(v.at(beta).x(), dot.x() + 60, 0.5) << "the dot follows the mouse";
    EXPECT_NEAR(v.at(beta).y(), dot.y() - 20, 0.5);
    EXPECT_EQ(v.view().camera().yaw, 0) << "the camera stayed put";
    for (const auto& [path, position] : before) {
        if (path != beta) {
            EXPECT_EQ(v.scene().dots[path]->worldPosition(), position) << path.toStdString();
        }
    }
    EXPECT_EQ(alphaEdge->lineTo, alphaEnd);
    EXPECT_NEAR(length(v.scene().edges[beta]->lineTo - v.scene().dots[beta]->worldPosition()), 0, 1e-9)
        << "the edge ends at the moved dot";
}

TEST(OrbitView, ShiftDragUpwardPushesTheDotAway)
{
    Viewer v;
    ASSERT_TRUE(v.opened);
    const QString beta = v.path("beta.txt");
    const double distance = -v.view().camera().toEye(*v.scene().centerOf(beta)).z;
    v.b.setModView(true);
    const QPointF dot = v.at(beta);
    v.drag(dot, dot + QPointF(0, -40), Qt::ShiftModifier);
    EXPECT_GT(-v.view().camera().toEye(*v.scene().centerOf(beta)).z, distance + 1);
}

TEST(OrbitView, DisplayModeAndReadOnlySessionsMoveNoDot)
{
    for (const bool readOnly : {false, true}) {
        Viewer v(readOnly);
        ASSERT_TRUE(v.opened);
        v.b.setModView(readOnly);
        const QPointF beta = v.at(v.path("beta.txt"));
        v.drag(beta, beta + QPointF(50, 0));
        EXPECT_TRUE(v.b.offsets().empty());
        EXPECT_NEAR(v.view().camera().yaw, readOnly ? 0 : -50 * 0.009, 1e-5) << "display mode turns the camera";
    }
}

TEST(OrbitView, PressingTheCentreDotInModifyModeTurnsTheCamera)
{
    Viewer v;
    ASSERT_TRUE(v.opened);
    v.b.setModView(true);
    const QPointF centre = v.at(v.path());
    v.drag(centre, centre + QPointF(0, 30));
    EXPECT_TRUE(v.b.offsets().empty());
    EXPECT_NEAR(v.view().camera().pitch, 0.42f - 30 * 0.009f, 1e-5) << "dragging down lowers the eye";
}

TEST(OrbitView, SpinFollowsTheMouseAroundTheCentreDotOutsideItsDeadZone)
{
    Viewer v;
    ASSERT_TRUE(v.opened);
    v.b.setSpin(true);
    const auto pin = *v.view().pinOnScreen();
    const QPointF centre(pin.x, pin.y);
    v.drag(centre + QPointF(6, 0), centre + QPointF(0, -7));
    EXPECT_EQ(v.b.wheel(), Quaternion()) << "inside the dead zone nothing turns";

    const QString beta = v.path("beta.txt");
    const QPointF before = v.at(beta) - centre;
    v.drag(centre + QPointF(100, 0), centre + QPointF(100, -60));
    EXPECT_NE(v.b.wheel(), Quaternion());
    EXPECT_NEAR(v.at(v.path()).x(), centre.x(), 1e-6) << "the centre dot stays put";
    const QPointF after = v.at(beta) - centre;
    // Upward on the right of the centre is anticlockwise on screen; so is the dot's turn.
    const double turned = std::atan2(-after.y(), after.x()) - std::atan2(-before.y(), before.x());
    EXPECT_NEAR(std::remainder(turned, 2 * M_PI), std::atan2(60.0, 100.0), 0.02);
}

TEST(OrbitView, WheelAndPinchZoomWithinLimitsAndReportThePose)
{
    Viewer v;
    ASSERT_TRUE(v.opened);
    v.scroll(1);
    EXPECT_NEAR(v.view().camera().radius, 26 * std::exp(-0.065), 1e-4);
    EXPECT_EQ(v.b.pose().radius, v.view().camera().radius);
    const QPointF middle(400, 300);
    QNativeGestureEvent pinch(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2, middle, middle,
                              v.view().mapToGlobal(middle), 0.25, {});
    QApplication::sendEvent(&v.view(), &pinch);
    EXPECT_NEAR(v.view().camera().radius, 26 * std::exp(-0.065 - 0.25), 1e-4);
    for (int i = 0; i < 100; ++i) {
        QWheelEvent out({400, 300}, v.view().mapToGlobal(QPointF(400, 300)), {0, -300}, {0, -120}, Qt::NoButton,
                        {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&v.view(), &out);
    }
    EXPECT_FLOAT_EQ(v.view().camera().radius, 80);
}

TEST(OrbitView, HandModePansWithTheMouseAndShowsAHand)
{
    Viewer v;
    ASSERT_TRUE(v.opened);
    v.b.setHand(true);
    EXPECT_EQ(v.view().cursor().shape(), Qt::OpenHandCursor);
    // The focus, where the camera first looks, lies in the plane that follows the mouse exactly.
    const Vec3 origin {0, 0, 0};
    v.drag({100, 100}, {140, 130});
    EXPECT_NEAR(v.view().camera().project(origin)->point.x, 400 + 40, 1e-6) << "the scene follows the mouse";
    EXPECT_NEAR(v.view().camera().project(origin)->point.y, 300 + 30, 1e-6);
    EXPECT_EQ(v.view().cursor().shape(), Qt::OpenHandCursor);
    EXPECT_TRUE(v.b.pose().pan);
    v.b.setHand(false);
    EXPECT_EQ(v.view().cursor().shape(), Qt::ArrowCursor);
}

TEST(OrbitView, DrawsTheCentreDotWhiteAtThePinAndTheSelectedDotLarger)
{
    Viewer v;
    ASSERT_TRUE(v.opened);
    const auto pin = *v.view().pinOnScreen();
    QImage image = rendered(v.view());
    EXPECT_EQ(image.pixel(QPoint(int(pin.x), int(pin.y))), qRgb(255, 255, 255));
    // Inside the frame that marks keyboard focus.
    EXPECT_EQ(image.pixel(8, 8), OrbitView::background.rgb());

    const QString gamma = v.path("gamma");
    const double radius = v.view().camera().projectedRadius(*v.scene().centerOf(gamma), 0.41);
    EXPECT_NEAR(discWidth(image, v.at(gamma)), 2 * radius, 2) << "the sphere's exact projected size";
    v.b.setSelected(VEntry {gamma, true, false, 0});
    image = rendered(v.view());
    EXPECT_NEAR(discWidth(image, v.at(gamma)), 2 * radius * 1.55, 2);
}

TEST(OrbitView, CameraResetsOnlyWhenTheModelAsks)
{
    Viewer v;
    ASSERT_TRUE(v.opened);
    const QPointF gamma = v.at(v.path("gamma"));
    v.drag(gamma, gamma + QPointF(0, 100));
    v.b.setHidden(false);
    EXPECT_NE(v.view().camera().pitch, 0.42f) << "an unrelated change keeps the camera";
    v.b.load(folderAt(v.path("gamma")), false, false);
    EXPECT_EQ(v.view().camera().pose(), (EyePose {0, 0.42f, 26, Shift3 {}}));
}
