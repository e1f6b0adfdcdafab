#include "app/viewer/graph/ScenePicking.h"
#include "app/viewer/graph/VectorMath.h"

#include <gtest/gtest.h>

namespace {

// A camera on the +z axis looking at the origin, 800 × 600 points.
OrbitCamera straightCamera()
{
    OrbitCamera camera;
    camera.width = 800;
    camera.height = 600;
    camera.pitch = 0;
    camera.aim();
    return camera;
}

SceneNode& addSphere(SceneNode& root, const QString& path, const Vec3& at, double radius)
{
    SceneNode& node = root.add(SceneNode::sphere(path, radius, GraphLayout::Tint::teal));
    node.local.translation = at;
    return node;
}

ScreenPoint seen(const OrbitCamera& camera, const Vec3& at)
{
    return camera.project(at)->point;
}

}

TEST(ScenePicking, TheNearestSphereAlongTheRayWins)
{
    const OrbitCamera camera = straightCamera();
    SceneNode root;
    addSphere(root, "/far", {0, 0, -5}, 2);
    addSphere(root, "/near", {0, 0, 5}, 0.5);
    SceneNode& label = root.add(SceneNode::label("/label", "name", 4, 0.7, 0.2));
    label.local.translation = {0, 0, 8};
    EXPECT_EQ(ScenePicking::nearestHit(root, camera, {400, 300}, SceneNode::sphereMask), "/near");
    EXPECT_EQ(ScenePicking::nearestHit(root, camera, {400, 300}, SceneNode::labelMask), "/label")
        << "masks keep spheres and labels apart";
    // Beside the small near sphere but still on the large far one.
    const double beside = 400 + 0.8 / camera.unitsPerPoint(21);
    EXPECT_EQ(ScenePicking::nearestHit(root, camera, {beside, 300}, SceneNode::sphereMask), "/far");
    EXPECT_FALSE(ScenePicking::nearestHit(root, camera, {10, 10}, SceneNode::sphereMask));
}

TEST(ScenePicking, SelectionScaleEnlargesTheHitArea)
{
    const OrbitCamera camera = straightCamera();
    SceneNode root;
    SceneNode& dot = addSphere(root, "/dot", {0, 0, 0}, 0.4);
    const ScreenPoint edge {400 + 0.5 / camera.unitsPerPoint(26), 300};
    EXPECT_FALSE(ScenePicking::nearestHit(root, camera, edge, SceneNode::sphereMask));
    dot.local.scale = 1.55;
    EXPECT_EQ(ScenePicking::nearestHit(root, camera, edge, SceneNode::sphereMask), "/dot");
}

TEST(ScenePicking, LabelsAreHitInsideTheirTextBoxOnly)
{
    const OrbitCamera camera = straightCamera();
    SceneNode root;
    SceneNode& label = root.add(SceneNode::label("/label", "name", 4, 0.7, 0.2));
    label.local.scale = 0.44;
    const double perUnit = 0.44 / camera.unitsPerPoint(26);
    // Centred horizontally, standing on its baseline.
    EXPECT_TRUE(ScenePicking::nearestHit(root, camera, {400 + 1.9 * perUnit, 300 - 0.6 * perUnit},
                                         SceneNode::labelMask));
    EXPECT_FALSE(ScenePicking::nearestHit(root, camera, {400 + 2.1 * perUnit, 300}, SceneNode::labelMask));
    EXPECT_FALSE(ScenePicking::nearestHit(root, camera, {400, 300 - 0.8 * perUnit}, SceneNode::labelMask));
    EXPECT_TRUE(ScenePicking::nearestHit(root, camera, {400, 300 + 0.15 * perUnit}, SceneNode::labelMask));
}

TEST(ScenePicking, ProximityGrabsWithinSevenPointsPreferringTheNearerDot)
{
    const OrbitCamera camera = straightCamera();
    SceneNode root;
    std::map<QString, SceneNode*> dots;
    dots["/a-back"] = &addSphere(root, "/a-back", {0, 0, -4}, 0.1);
    dots["/b-front"] = &addSphere(root, "/b-front", {0, 0, 4}, 0.1);
    dots["/centre"] = &addSphere(root, "/centre", {3, 0, 0}, 0.1);
    const auto all = [](const QString&) { return true; };
    const ScreenPoint middle = seen(camera, {0, 0, 0});
    EXPECT_EQ(ScenePicking::nearestDot(dots, camera, {middle.x + 6.9, middle.y}, all), "/b-front")
        << "equal screen distance: the dot nearer the camera";
    EXPECT_FALSE(ScenePicking::nearestDot(dots, camera, {middle.x + 7.1, middle.y}, all));
    const ScreenPoint centre = seen(camera, {3, 0, 0});
    const auto movable = [](const QString& path) { return path != "/centre"; };
    EXPECT_FALSE(ScenePicking::nearestDot(dots, camera, {centre.x, centre.y + 2}, movable))
        << "the centre dot cannot be grabbed";
    dots["/b-front"]->local.translation = {0, 0.2, 4};
    EXPECT_EQ(ScenePicking::nearestDot(dots, camera, {middle.x, middle.y + 1}, all), "/a-back")
        << "otherwise the nearest on screen wins";
}
