#include "app/viewer/graph/FileCluster.h"
#include "app/viewer/graph/GraphLayout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Tint = GraphLayout::Tint;

VEntry folder(const QString& name)
{
    return {"/top/" + name, true, false, 0};
}

VEntry file(const QString& name)
{
    return {"/top/" + name, false, false, 1};
}

QList<VEntry> many(int folders, int files)
{
    QList<VEntry> entries;
    for (int i = 0; i < folders; ++i)
        entries.append(folder(QStringLiteral("d%1").arg(i)));
    for (int i = 0; i < files; ++i)
        entries.append(file(QStringLiteral("f%1").arg(i)));
    return entries;
}

GraphLayout layoutOf(const QList<VEntry>& entries, bool fullView = false,
                     const QMap<QString, QList<VEntry>>& previews = {})
{
    return GraphLayout::of(VEntry {"/top", true, false, 0}, entries, previews, fullView);
}

void expectAt(const Vec3& actual, double x, double y, double z)
{
    EXPECT_DOUBLE_EQ(actual.x, x);
    EXPECT_DOUBLE_EQ(actual.y, y);
    EXPECT_DOUBLE_EQ(actual.z, z);
}

}

TEST(GraphLayout, FewFilesOrFilesWithoutFoldersStayOnTheRing)
{
    const GraphLayout two = layoutOf({folder("a"), file("b")});
    expectAt(two.children[0].position, 3.8576374173141627e-16, 0, -6.3);
    expectAt(two.children[1].position, 3.8576374173141627e-16, 0, 6.3);
    expectAt(two.children[1].start, 0, 3.5, 0);

    const GraphLayout ten = layoutOf(many(0, 10));
    ASSERT_EQ(ten.children.size(), 10u);
    expectAt(ten.children[2].position, 5.991656052659467, 0, -1.9468070645621685);
    for (const GraphLayout::Dot& dot : ten.children)
        EXPECT_NEAR(std::hypot(dot.position.x, dot.position.z), 6.3, 1e-12);
}

TEST(GraphLayout, FilesBesideFoldersFormAClusterAndLeaveTheirRingSlotsEmpty)
{
    const GraphLayout seven = layoutOf(many(3, 4));
    expectAt(seven.children[0].position, 3.8576374173141627e-16, 0, -6.3);
    expectAt(seven.children[1].position, 4.925538339548588, 0, -3.927985751710021);
    expectAt(seven.children[2].position, 6.142045846745488, 0, 1.4018818839247806);
    // The first file has no turn, so its x pins the cluster's centre to the last bit.
    EXPECT_EQ(seven.children[3].position.x, 9.693725393319376);
    EXPECT_EQ(seven.children[3].position.y, 0.29999999999999993);
    expectAt(seven.children[4].position, 8.043254784557305, -0.3, 0.627879038447911);
    EXPECT_EQ(FileCluster::radius(4), 1.2);

    EXPECT_EQ(FileCluster::radius(100), 3.3);
    const GraphLayout hundred = layoutOf(many(1, 100));
    EXPECT_EQ(hundred.children[1].position.x, 11.465522287328975);
    EXPECT_DOUBLE_EQ(hundred.children[1].position.y, 2.667);
    EXPECT_NEAR(FileCluster::position(0, 100, true).x - FileCluster::position(0, 100, false).x, 1.7, 1e-12)
        << "spread out past the dense sphere";
}

TEST(GraphLayout, DenseModeShrinksDotsAndDropsFileLabelsFromFortyThreeOn)
{
    const GraphLayout dense = layoutOf(many(10, 130), true);
    EXPECT_TRUE(dense.dense);
    EXPECT_DOUBLE_EQ(dense.children[0].radius, 0.2899137802864845);
    EXPECT_DOUBLE_EQ(dense.children[10].radius, 0.21213203435596426);
    expectAt(dense.children[3].position, 1.5198797877547254, 5.699999999999999, 1.982414041206996);
    EXPECT_TRUE(dense.children[0].label);
    EXPECT_FALSE(dense.children[10].label);

    const GraphLayout forty = layoutOf(many(10, 30), true);
    EXPECT_EQ(forty.children[10].label, "f0");
    EXPECT_EQ(forty.children[0].radius, 0.41) << "up to 70 entries keep their size";
    EXPECT_FALSE(layoutOf(many(10, 4), true).dense) << "fewer than 15 entries stay on the ring";
    EXPECT_FALSE(layoutOf(many(10, 30), false).dense);
}

TEST(GraphLayout, PreviewsFanOutBelowTheirFolder)
{
    QMap<QString, QList<VEntry>> previews;
    previews.insert("/top/d1", {folder("d1/x"), file("d1/y"), VEntry {"/top/d1/z", false, true, 0}});
    const GraphLayout ring = layoutOf(many(4, 0), false, previews);
    const GraphLayout::Dot& parent = ring.children[1];
    ASSERT_EQ(parent.previews.size(), 3u);
    expectAt(parent.previews[0].position, 8.911943965913734, -2.3, -1.2558880317981285);
    expectAt(parent.previews[1].position, 9, -2.3, 0);
    expectAt(parent.previews[2].position, 8.911943965913734, -2.3, 1.2558880317981285);
    expectAt(parent.previews[0].start, parent.position.x, parent.position.y, parent.position.z);
    EXPECT_EQ(parent.previews[0].radius, 0.22);
    EXPECT_EQ(parent.previews[0].label, "x");
    EXPECT_FALSE(parent.previews[1].label) << "only folders among previews are labelled";
    EXPECT_EQ(parent.previews[2].tint, Tint::purple);
    EXPECT_TRUE(ring.children[0].previews.empty());

    QList<VEntry> entries = many(20, 0);
    previews.insert("/top/d0", {file("d0/a"), file("d0/b")});
    const GraphLayout dense = layoutOf(entries, true, previews);
    const Vec3 p = dense.children[0].position;
    const double d = -0.07 * 2.5;
    expectAt(dense.children[0].previews[0].position, 1.24 * p.x + d, 1.24 * p.y - 0.5, 1.24 * p.z + d);
}

TEST(GraphLayout, SizesColoursAndLabels)
{
    const GraphLayout layout = layoutOf({folder("a"), VEntry {"/top/l", false, true, 0}, file("b")});
    EXPECT_EQ(layout.folder.radius, 0.66);
    EXPECT_EQ(layout.folder.tint, Tint::white);
    expectAt(layout.folder.position, 0, 3.5, 0);
    EXPECT_EQ(layout.folder.label, "top");
    EXPECT_EQ(layout.children[0].radius, 0.41);
    EXPECT_EQ(layout.children[0].tint, Tint::teal);
    EXPECT_EQ(layout.children[1].radius, 0.3);
    EXPECT_EQ(layout.children[1].tint, Tint::purple);
    EXPECT_NEAR(std::hypot(layout.children[1].position.x, layout.children[1].position.z), 6.3, 1e-12)
        << "a link sits on the ring; one file is no cluster";
    EXPECT_EQ(layout.children[2].tint, Tint::orange);
    EXPECT_EQ(GraphLayout::colour(Tint::orange, false), (GraphLayout::Colour {255, 149, 0}));
    EXPECT_TRUE(layoutOf({}).children.empty());

    EXPECT_EQ(GraphLayout::label("abcdefghijklmnopqrstuvwxyz012"), "abcdefghijklmnopqrs…");
    EXPECT_EQ(GraphLayout::label("abcdefghijklmnopqrstu"), "abcdefghijklmnopqrstu");
    EXPECT_EQ(GraphLayout::label("abcdefghijklmnopqrstuv"), "abcdefghijklmnopqrs…");
    const QString accented = QString("e\u0301").repeated(22);
    EXPECT_EQ(GraphLayout::label(accented), QString("e\u0301").repeated(19) + "…") << "cut between characters";
}
