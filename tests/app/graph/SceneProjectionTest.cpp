#include "app/viewer/graph/SceneProjection.h"
#include "app/viewer/graph/VectorMath.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

OrbitCamera straightCamera()
{
    OrbitCamera camera;
    camera.width = 800;
    camera.height = 600;
    camera.pitch = 0;
    camera.aim();
    return camera;
}

}

TEST(SceneProjection, EdgesComeFirstThenShapesFromFarToNear)
{
    const OrbitCamera camera = straightCamera();
    SceneNode root;
    root.add(SceneNode::sphere("/near", 0.5, GraphLayout::Tint::teal)).local.translation = {0, 0, 10};
    root.add(SceneNode::label("/far", "far", 2, 0.7, 0.2)).local.translation = {0, 0, -10};
    root.add(SceneNode::sphere("/middle", 0.5, GraphLayout::Tint::orange));
    root.add(SceneNode::line({-1, 0, 0}, {1, 0, 0}));
    std::vector<DrawItem> items;
    SceneProjection::items(root, camera, items);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].kind, DrawItem::Kind::line);
    EXPECT_EQ(items[1].node->name, "/far");
    EXPECT_EQ(items[2].node->name, "/middle");
    EXPECT_EQ(items[3].node->name, "/near");
    EXPECT_DOUBLE_EQ(items[3].size, camera.projectedRadius({0, 0, 10}, 0.5));
}

TEST(SceneProjection, ScalesTurnsAndMovesChildrenWithTheirParents)
{
    const OrbitCamera camera = straightCamera();
    SceneNode root;
    SceneNode& parent = root.add(std::make_unique<SceneNode>());
    parent.local = {aboutAxis({0, 1, 0}, std::numbers::pi / 2), {1, 0, 0}, 2};
    parent.add(SceneNode::sphere("/dot", 0.5, GraphLayout::Tint::teal)).local.translation = {0, 0, 1};
    std::vector<DrawItem> items;
    SceneProjection::items(root, camera, items);
    ASSERT_EQ(items.size(), 1u);
    // (0, 0, 1) doubled and turned a quarter about y lands on (2, 0, 0), then moves by (1, 0, 0).
    const auto expected = camera.project({3, 0, 0});
    // Rotations are single precision.
    EXPECT_NEAR(items[0].at.x, expected->point.x, 1e-4);
    EXPECT_NEAR(items[0].size, camera.projectedRadius({3, 0, 0}, 1), 1e-4);
}

TEST(SceneProjection, EdgesReachingBehindTheCameraAreCutAtTheNearPlane)
{
    OrbitCamera camera = straightCamera();
    SceneNode root;
    // The eye is at z = 26; the edge runs from in front of it to behind it, off to the side.
    root.add(SceneNode::line({2, 0, 0}, {2, 0, 40}));
    root.add(SceneNode::line({2, 0, 30}, {2, 0, 40}));
    std::vector<DrawItem> items;
    SceneProjection::items(root, camera, items);
    ASSERT_EQ(items.size(), 1u) << "an edge wholly behind the eye is not drawn";
    EXPECT_NEAR(items[0].at.x, camera.project({2, 0, 0})->point.x, 1e-9);
    EXPECT_GT(items[0].to.x, 800) << "the cut end leaves the view on the edge's side";
}
