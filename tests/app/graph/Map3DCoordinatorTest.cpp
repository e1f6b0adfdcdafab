#include "app/viewer/graph/Map3DCoordinator.h"
#include "app/viewer/graph/OrbitView.h"
#include "app/viewer/graph/VectorMath.h"

#include <gtest/gtest.h>

#include <numbers>

namespace {

VEntry item(const QString& path, bool folder)
{
    return VEntry {path, folder, false, 0};
}

// "/r" with a folder "/r/a" previewing two children, and a file "/r/b.txt": two ring dots.
GraphLayout smallLayout()
{
    const QList<VEntry> entries {item("/r/a", true), item("/r/b.txt", false)};
    QMap<QString, QList<VEntry>> previews;
    previews["/r/a"] = {item("/r/a/x", true), item("/r/a/y.txt", false)};
    return GraphLayout::of(item("/r", true), entries, previews, false);
}

testing::AssertionResult same(const Vec3& a, const Vec3& b)
{
    if (length(a - b) < 1e-6)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") is not (" << b.x << ", "
                                       << b.y << ", " << b.z << ")";
}

int countMask(const SceneNode& node, int mask)
{
    int count = node.categoryBitMask == mask ? 1 : 0;
    for (const auto& child : node.children())
        count += countMask(*child, mask);
    return count;
}

}

TEST(Map3DCoordinator, BuildsNamedDotsLabelsAndAnchoredEdges)
{
    Map3D::Coordinator c;
    c.rebuild(smallLayout(), {});
    EXPECT_EQ(c.dots.size(), 5u);
    EXPECT_EQ(countMask(c.graph, SceneNode::sphereMask), 5);
    EXPECT_EQ(countMask(c.graph, SceneNode::labelMask), 4) << "the preview file has no label";
    EXPECT_FALSE(c.anchors.contains("/r")) << "the centre dot has no anchor";
    EXPECT_EQ(c.anchors.size(), 4u);
    EXPECT_TRUE(same(c.dots["/r"]->worldPosition(), {0, 3.5, 0}));
    EXPECT_EQ(c.dots["/r"]->parent(), &c.graph);
    EXPECT_EQ(c.dots["/r/a/x"]->parent(), c.anchors["/r/a/x"]);
    EXPECT_EQ(c.anchors["/r/a/x"]->parent(), c.anchors["/r/a"]);
    EXPECT_TRUE(same(c.starts["/r/a"], {0, 3.5, 0}));
    EXPECT_TRUE(same(c.starts["/r/a/x"], c.tips["/r/a"]));
    EXPECT_TRUE(same(c.edges["/r/a/y.txt"]->lineTo, c.dots["/r/a/y.txt"]->worldPosition()));

    c.rebuild(smallLayout(), {});
    EXPECT_EQ(countMask(c.graph, SceneNode::sphereMask), 5) << "a rebuild starts from nothing";
}

TEST(Map3DCoordinator, ApplyMovesOneDotItsLabelAndItsEdgeOnly)
{
    Map3D::Coordinator c;
    c.rebuild(smallLayout(), {});
    const Vec3 previewBefore = c.dots["/r/a/x"]->worldPosition();
    const Vec3 fileEdgeEnd = c.edges["/r/b.txt"]->lineTo;
    const Vec3 previewEdgeEnd = c.edges["/r/a/x"]->lineTo;
    const Vec3 offset {1, 2, -0.5};
    c.apply("/r/a", offset);
    EXPECT_TRUE(same(c.dots["/r/a"]->worldPosition(), c.tips["/r/a"] + offset));
    EXPECT_TRUE(same(c.edges["/r/a"]->lineFrom, {0, 3.5, 0}));
    EXPECT_TRUE(same(c.edges["/r/a"]->lineTo, c.tips["/r/a"] + offset));
    EXPECT_TRUE(same(c.edges["/r/b.txt"]->lineTo, fileEdgeEnd));
    EXPECT_TRUE(same(c.dots["/r/a/x"]->worldPosition(), previewBefore + offset)) << "previews ride along";
    EXPECT_TRUE(same(c.edges["/r/a/x"]->lineTo, previewEdgeEnd)) << "in the moved folder's own frame";
    c.apply("/r", offset);
    EXPECT_TRUE(same(c.dots["/r"]->worldPosition(), {0, 3.5, 0})) << "the centre dot never moves";
}

TEST(Map3DCoordinator, StoredOffsetsAreAppliedOnRebuild)
{
    Map3D::Coordinator c;
    const Vec3 offset {0, 1, 0};
    const Vec3 previewOffset {0.5, 0, 0};
    c.rebuild(smallLayout(), {{"/r/b.txt", offset}, {"/r/a/x", previewOffset}, {"/gone", offset}});
    EXPECT_TRUE(same(c.dots["/r/b.txt"]->worldPosition(), c.tips["/r/b.txt"] + offset));
    EXPECT_TRUE(same(c.edges["/r/b.txt"]->lineTo, c.tips["/r/b.txt"] + offset));
    EXPECT_TRUE(same(c.dots["/r/a/x"]->worldPosition(), c.tips["/r/a/x"] + previewOffset));
}

TEST(Map3DCoordinator, SelectionScalesOneDotAndSpinTurnsAboutThePin)
{
    Map3D::Coordinator c;
    c.rebuild(smallLayout(), {});
    c.select(QString("/r/b.txt"));
    EXPECT_DOUBLE_EQ(c.dots["/r/b.txt"]->worldTransform().scale, 1.55);
    EXPECT_DOUBLE_EQ(c.dots["/r/a"]->worldTransform().scale, 1);
    c.select(std::nullopt);
    EXPECT_DOUBLE_EQ(c.dots["/r/b.txt"]->worldTransform().scale, 1);

    const Vec3 before = c.dots["/r/a"]->worldPosition();
    const SceneNode* node = c.dots["/r/a"];
    c.spin(aboutAxis({0, 0, 1}, std::numbers::pi / 2));
    EXPECT_TRUE(same(c.dots["/r"]->worldPosition(), {0, 3.5, 0}));
    EXPECT_EQ(c.dots["/r/a"], node) << "spinning rebuilds nothing";
    const Vec3 after = *c.centerOf("/r/a");
    const Vec3 pin {0, 3.5, 0};
    EXPECT_TRUE(same(after - pin, rotate(aboutAxis({0, 0, 1}, std::numbers::pi / 2), before - pin)));
    EXPECT_TRUE(same(c.intoGraph({1, 0, 0}), {0, -1, 0})) << "world deltas are turned back into the graph";
    EXPECT_FALSE(c.centerOf("/r"));
    EXPECT_FALSE(c.centerOf("/nowhere"));
}
