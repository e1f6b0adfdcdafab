#include "ViewerSession.h"
#include "app/viewer/model/SidebarModel.h"

#include <QSignalSpy>

#include <filesystem>

#include <gtest/gtest.h>

namespace {

void makeEntries(const ViewerSession& session, int folders, int files)
{
    for (int i = 0; i < folders; ++i)
        Files::makeFolder(session / ("d" + std::to_string(i)));
    for (int i = 0; i < files; ++i)
        Files::make(session / ("f" + std::to_string(i)), static_cast<size_t>(i + 1));
}

QStringList shown(const SidebarModel& model)
{
    QStringList out;
    for (int row = 0; row < model.rowCount(); ++row)
        out.append(model.index(row).data().toString());
    return out;
}

}

TEST(SidebarModel, RowsAreTheVisibleEntriesWithTheirNamesPathsAndKinds)
{
    ViewerSession session;
    makeEntries(session, 1, 15);
    std::filesystem::create_symlink("f0", session / "link");
    Branch b(session.viewsFolder());
    SidebarModel model(b);
    ASSERT_TRUE(openAndSettle(b, session.path()));
    ASSERT_EQ(model.rowCount(), Branch::span) << "one page of the list";
    const QModelIndex folder = model.index(0);
    EXPECT_EQ(folder.data().toString(), "d0");
    EXPECT_EQ(folder.data(Qt::ToolTipRole).toString(), session.path("d0"));
    EXPECT_EQ(folder.data(Qt::AccessibleTextRole).toString(), "d0");
    EXPECT_EQ(folder.data(SidebarModel::KindRole).toInt(), SidebarModel::folder);
    EXPECT_TRUE(folder.data(SidebarModel::OpensRole).toBool());
    EXPECT_FALSE(model.index(1).data(SidebarModel::OpensRole).toBool());
    EXPECT_EQ(model.rowOf(session.path("link")), -1) << "the link sorts onto the second page";

    b.navigate(1);
    EXPECT_EQ(model.rowCount(), 3);
    b.setFull(true);
    EXPECT_EQ(model.rowCount(), 17);
    const int link = model.rowOf(session.path("link"));
    ASSERT_GE(link, 0);
    EXPECT_EQ(model.index(link).data(SidebarModel::KindRole).toInt(), SidebarModel::link);
    EXPECT_FALSE(model.index(link).data(SidebarModel::OpensRole).toBool()) << "only folders open";
    b.setNeedle("F1");
    EXPECT_EQ(shown(model), (QStringList {"f1", "f10", "f11", "f12", "f13", "f14"})) << "the find filter, any case";
    EXPECT_EQ(model.index(99).data(), QVariant());
}

TEST(SidebarModel, ANewSelectionUpdatesTwoRowsAndANewListResetsThem)
{
    ViewerSession session;
    makeEntries(session, 0, 5);
    Branch b(session.viewsFolder());
    SidebarModel model(b);
    ASSERT_TRUE(openAndSettle(b, session.path()));
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    b.setSelected(model.entry(1));
    b.setSelected(model.entry(3));
    EXPECT_EQ(resets.count(), 0) << "a selection leaves the rows in place";
    ASSERT_EQ(changes.count(), 3) << "row 1 on, then row 1 off and row 3 on";
    EXPECT_EQ(changes.at(1).at(0).toModelIndex().row(), 1);
    EXPECT_EQ(changes.at(2).at(0).toModelIndex().row(), 3);
    EXPECT_TRUE(model.index(3).data(SidebarModel::SelectedRole).toBool());
    EXPECT_FALSE(model.index(1).data(SidebarModel::SelectedRole).toBool());

    b.setNotice("something else");
    EXPECT_EQ(resets.count(), 0) << "changes that leave the list alone leave the rows alone";
    b.setNeedle("f4");
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(shown(model), QStringList {"f4"});
}

TEST(SidebarModel, DetailsNameTheKindOrTheSize)
{
    EXPECT_EQ(SidebarModel::detailKind(VEntry {"/a", true, false, 0}), "Folder");
    EXPECT_EQ(SidebarModel::detailKind(VEntry {"/a", false, true, 0}), "Symbolic link");
    EXPECT_EQ(SidebarModel::detailKind(VEntry {"/a", false, false, 3000000}), QString("3.0\u00a0MB"));
}

TEST(Branch, NamesReplaceTheColourLegendFromSixtyOneEntriesInFullView)
{
    ViewerSession session;
    makeEntries(session, 0, 61);
    Branch b(session.viewsFolder());
    ASSERT_TRUE(openAndSettle(b, session.path()));
    EXPECT_FALSE(b.namesShown()) << "one page";
    b.setFull(true);
    EXPECT_TRUE(b.namesShown());
    b.setNeedle("f");
    EXPECT_TRUE(b.namesShown());
    b.setNeedle("f1");
    EXPECT_FALSE(b.namesShown()) << "f1 and f10 to f19";
    Files::make(session / "f60x");
    b.setNeedle("");
    std::filesystem::remove(session / "f0");
    ASSERT_TRUE(openAndSettle(b, session.path(), true));
    EXPECT_EQ(b.visible().size(), 61);
    EXPECT_TRUE(b.namesShown());
    std::filesystem::remove(session / "f60x");
    ASSERT_TRUE(openAndSettle(b, session.path(), true));
    EXPECT_EQ(b.visible().size(), 60);
    EXPECT_FALSE(b.namesShown()) << "exactly sixty keep the colours";
}

TEST(Branch, SelectingAListedEntryBringsItsDotOntoTheGraph)
{
    ViewerSession session;
    makeEntries(session, 0, 401);
    Branch b(session.viewsFolder());
    ASSERT_TRUE(openAndSettle(b, session.path()));
    b.setFull(true);
    const VEntry last = b.visible().last();
    EXPECT_EQ(b.graphPageOf(last.path), 2);
    EXPECT_EQ(b.graphPageOf(b.visible().at(199).path), 0);
    EXPECT_EQ(b.graphPageOf(b.visible().at(200).path), 1);
    EXPECT_EQ(b.graphPageOf("/not/listed"), std::nullopt);
    b.selectListed(last);
    EXPECT_EQ(b.graphPage(), 2);
    EXPECT_EQ(b.selected(), last);
    EXPECT_TRUE(b.graphEntries().contains(last));
}
