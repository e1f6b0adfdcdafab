#include "ViewerSession.h"
#include "app/session/Preferences.h"

#include <gtest/gtest.h>

#include <QSignalSpy>


#include <filesystem>

namespace {

QStringList titles(const QList<VEntry>& entries)
{
    QStringList out;
    for (const VEntry& entry : entries)
        out.append(entry.title());
    return out;
}

void makeFiles(const ViewerSession& session, const std::string& folder, int count)
{
    for (int i = 0; i < count; ++i)
        Files::make(session / (folder + "/f" + std::to_string(i)));
}

}

TEST(Branch, StartsAtTheScopeRootWithoutReading)
{
    ViewerSession session;
    Branch b(session.viewsFolder());
    EXPECT_EQ(b.folder(), folderAt(session.path()));
    EXPECT_FALSE(b.loading());
    EXPECT_TRUE(b.entries().isEmpty());
    EXPECT_EQ(b.pose(), EyePose());
    EXPECT_EQ(b.pages(), 1);
    EXPECT_EQ(b.graphPages(), 1);
}

TEST(Branch, HandSpinAndModifyExcludeEachOtherAndAnnounceOnlyChanges)
{
    ViewerSession session;
    Branch b(session.viewsFolder());
    QSignalSpy changes(&b, &Branch::changed);
    b.setHand(true);
    b.setSpin(true);
    EXPECT_TRUE(b.spin());
    EXPECT_FALSE(b.hand()) << "Spin turns Hand off";
    b.setHand(true);
    EXPECT_FALSE(b.spin()) << "Hand turns Spin off";
    b.setModView(true);
    EXPECT_TRUE(b.modView());
    EXPECT_FALSE(b.hand()) << "Modify turns Hand off";
    b.setSpin(true);
    b.setModView(true);
    EXPECT_FALSE(b.spin()) << "Modify turns Spin off";
    b.setHand(true);
    EXPECT_TRUE(b.modView()) << "Hand leaves Modify on";
    b.setModView(false);
    EXPECT_TRUE(b.hand()) << "turning one off leaves the others";
    EXPECT_EQ(changes.count(), 8);
    b.setHand(true);
    b.setSpin(false);
    b.setModView(false);
    EXPECT_EQ(changes.count(), 8) << "setting a mode to what it is announces nothing";
}

TEST(Branch, PagesOfFourteenClampedBothWays)
{
    ViewerSession session;
    makeFiles(session, "", 15);
    Branch b(session.viewsFolder());
    ASSERT_TRUE(openAndSettle(b, session.path()));
    EXPECT_EQ(b.message(), "");
    EXPECT_EQ(b.pages(), 2);
    EXPECT_EQ(b.visible().size(), 14);
    b.setSelected(b.entries()[3]);
    b.navigate(99);
    EXPECT_EQ(b.page(), 1);
    EXPECT_FALSE(b.selected()) << "navigating clears the selection";
    EXPECT_EQ(titles(b.visible()), QStringList {"f14"});
    b.navigate(-3);
    EXPECT_EQ(b.page(), 0);

    b.setFull(true);
    EXPECT_EQ(b.visible().size(), 15);
    b.setSelected(b.entries()[14]);
    b.setFull(false);
    EXPECT_EQ(b.page(), 1) << "leaving full view shows the selection's page";
    EXPECT_FALSE(Preferences::fullView());
}

TEST(Branch, TheFindFilterIgnoresCaseAndDrivesThePages)
{
    ViewerSession session;
    for (const char* name : {"README", "Thread.c", "bread", "notes", "Readme 2"})
        Files::make(session / name);
    makeFiles(session, "", 20);
    Branch b(session.viewsFolder());
    ASSERT_TRUE(openAndSettle(b, session.path()));
    EXPECT_EQ(b.pages(), 2);
    b.setNeedle("read");
    const QStringList found {"bread", "README", "Readme 2", "Thread.c"};
    EXPECT_EQ(titles(b.filtered()), found);
    // The same once the folder's name index, which follows the entries, has arrived.
    b.finishBackgroundReads();
    QCoreApplication::processEvents();
    b.setNeedle("reaD");
    EXPECT_EQ(titles(b.filtered()), found);
    EXPECT_EQ(b.pages(), 1);
    b.setNeedle("nothing like it");
    EXPECT_TRUE(b.visible().isEmpty());
    EXPECT_EQ(b.pages(), 1);
}

TEST(Branch, TypingAFindStartsOverOnTheFirstPagesAndAnnouncesItOnce)
{
    ViewerSession session;
    makeFiles(session, "", 230);
    Files::make(session / "README");
    Branch b(session.viewsFolder());
    ASSERT_TRUE(openAndSettle(b, session.path()));
    b.navigate(1);
    b.setFull(true);
    b.showGraphPage(1);
    ASSERT_EQ(b.graphPage(), 1);
    b.selectListed(b.visible().first());
    ASSERT_TRUE(b.selected());
    // Each announcement rebuilds the sidebar's rows.
    QSignalSpy announced(&b, &Branch::changed);
    b.find("read");
    EXPECT_EQ(announced.count(), 1);
    EXPECT_EQ(b.needle(), "read");
    EXPECT_EQ(titles(b.visible()), QStringList {"README"});
    EXPECT_EQ(b.page(), 0);
    EXPECT_EQ(b.graphPage(), 0);
    EXPECT_FALSE(b.selected());
}

TEST(Branch, TheGraphGetsTwoHundredEntriesAPage)
{
    ViewerSession session;
    makeFiles(session, "", 450);
    Branch b(session.viewsFolder());
    b.setFull(true);
    ASSERT_TRUE(openAndSettle(b, session.path()));
    EXPECT_EQ(b.graphPages(), 3);
    EXPECT_EQ(b.graphEntries().size(), 200);
    const QUuid stamp = b.stamp();
    b.showGraphPage(7);
    EXPECT_EQ(b.graphPage(), 2);
    EXPECT_NE(b.stamp(), stamp);
    EXPECT_EQ(b.graphEntries().size(), 50);
    EXPECT_EQ(b.graphEntries().front(), b.visible()[400]);
    b.showGraphPage(-1);
    EXPECT_EQ(b.graphEntries().front(), b.visible()[0]);
    EXPECT_TRUE(Preferences::fullView()) << "remembered in a writable session";
}

TEST(Branch, PreviewsUpToThreeChildrenUnlessFullViewShowsMoreThanSixty)
{
    ViewerSession session;
    for (int i = 0; i < 60; ++i)
        makeFiles(session, "sixty/d" + std::to_string(i), i == 0 ? 5 : 1);
    Branch b(session.viewsFolder());
    b.setFull(true);
    ASSERT_TRUE(openAndSettle(b, session.path("sixty")));
    EXPECT_EQ(b.previews().size(), 60);
    EXPECT_EQ(b.previews().value(session.path("sixty/d0")).size(), 3);

    Files::make(session / "sixty/one more");
    b.reloadView(true);
    ASSERT_TRUE(waitUntil([&] { return !b.loading(); }));
    EXPECT_EQ(b.visible().size(), 61);
    b.finishBackgroundReads();
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(b.previews().isEmpty());
}

TEST(Branch, KeepPositionKeepsFilterAndPageAndClampsThePageOnArrival)
{
    ViewerSession session;
    makeFiles(session, "many", 40);
    makeFiles(session, "few", 3);
    Branch b(session.viewsFolder());
    ASSERT_TRUE(openAndSettle(b, session.path("many")));
    b.navigate(2);
    b.setNeedle("f");
    b.load(folderAt(session.path("few")), true, false);
    EXPECT_EQ(b.page(), 2);
    EXPECT_EQ(b.needle(), "f");
    EXPECT_EQ(b.message(), "Reading folder…");
    ASSERT_TRUE(waitUntil([&] { return settled(b); }));
    EXPECT_EQ(b.page(), 0);
    EXPECT_EQ(b.needle(), "f");
    ASSERT_TRUE(openAndSettle(b, session.path("many")));
    EXPECT_EQ(b.needle(), "") << "without keepPosition the filter goes";
}

TEST(Branch, PreservedLayoutReselectsAndPrunesOffsets)
{
    ViewerSession session;
    Files::make(session / "keep/sub/child");
    Files::make(session / "keep/sub/gone child");
    Files::make(session / "keep/file");
    Files::make(session / "keep/doomed");
    Branch b(session.viewsFolder());
    ASSERT_TRUE(openAndSettle(b, session.path("keep")));
    b.setSelected(b.entries()[0]);
    b.setSpin(true);
    for (const char* path : {"keep/sub", "keep/doomed", "keep/sub/child", "keep/sub/gone child", "elsewhere/x"})
        b.setOffset(session.path(path), {1, 2, 3});
    std::filesystem::remove(session / "keep/doomed");
    std::filesystem::remove(session / "keep/sub/gone child");
    const QUuid camera = b.cameraReset();
    b.reloadView(true);
    ASSERT_TRUE(waitUntil([&] { return settled(b) && b.selected(); }));
    EXPECT_EQ(b.selected()->path, session.path("keep/sub")) << "reselected once the previews arrived";
    EXPECT_EQ(b.cameraReset(), camera);
    EXPECT_TRUE(b.spin());
    std::set<QString> kept;
    for (const auto& [path, offset] : b.offsets())
        kept.insert(path);
    EXPECT_EQ(kept, (std::set<QString> {session.path("keep/sub"), session.path("keep/sub/child")}));

    b.reloadView(false);
    EXPECT_TRUE(b.offsets().empty());
    EXPECT_FALSE(b.spin());
    EXPECT_NE(b.cameraReset(), camera);
}

TEST(Branch, AVanishedFolderFallsBackToItsNearestAncestor)
{
    ViewerSession session;
    Files::make(session / "a/b/c/file");
    Branch b(session.viewsFolder());
    ASSERT_TRUE(openAndSettle(b, session.path("a/b/c")));
    std::filesystem::remove_all(session / "a/b");
    const QUuid camera = b.cameraReset();
    b.reloadView(true);
    EXPECT_EQ(b.folder().path, session.path("a"));
    EXPECT_NE(b.cameraReset(), camera);
    ASSERT_TRUE(waitUntil([&] { return settled(b); }));
    EXPECT_EQ(b.notice(), "The previous folder is no longer available. Showing " + session.path("a"));
    EXPECT_EQ(b.message(), "No visible entries in this folder.");

    b.up();
    EXPECT_EQ(b.folder().path, session.path());
    b.up();
    EXPECT_EQ(b.folder().path, session.path()) << "above the scope nothing opens";
}

TEST(Branch, LoadIgnoresFilesAndPathsOutsideTheScope)
{
    ViewerSession session;
    Branch b(session.viewsFolder());
    const QUuid generation = b.generation();
    b.load(VEntry {session.path("file"), false, false, 0}, false, false);
    b.load(folderAt("/usr"), false, false);
    EXPECT_EQ(b.generation(), generation);
    EXPECT_FALSE(b.loading());
}

TEST(Branch, AFailedReadIsReported)
{
    ViewerSession session;
    Branch b(session.viewsFolder());
    b.load(folderAt(session.path("missing")), false, false);
    ASSERT_TRUE(waitUntil([&] { return !b.loading(); }));
    EXPECT_EQ(b.message(), "Cannot read this folder: This folder is no longer available.");
    ASSERT_TRUE(b.failure());
    EXPECT_EQ(b.failure()->action, "Cannot read this folder");
    EXPECT_EQ(b.failure()->reason, session.path("missing") + "\nThis folder is no longer available.");
}

TEST(Branch, AResultThatArrivesAfterANewerRequestChangesNothing)
{
    ViewerSession session;
    makeFiles(session, "old", 3);
    makeFiles(session, "new", 2000);
    for (const char* name : {"new/d10", "new/d9"})
        Files::makeFolder(session / name);
    Branch b(session.viewsFolder());
    b.load(folderAt(session.path("old")), false, false);
    // The old read finishes and its result waits in the queue while the main thread is busy.
    b.finishBackgroundReads();
    b.load(folderAt(session.path("new")), false, false);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(b.entries().isEmpty());
    EXPECT_TRUE(b.loading());
    EXPECT_EQ(b.message(), "Reading folder…");
    ASSERT_TRUE(waitUntil([&] { return settled(b); }));
    QStringList expected {"d9", "d10"};
    for (int i = 0; i < 2000; ++i)
        expected.append(QStringLiteral("f%1").arg(i));
    EXPECT_EQ(titles(b.entries()), expected) << "a long listing sorts like a short one";
    EXPECT_EQ(b.message(), "");
}

TEST(Branch, ASlowReadIsSupersededOrAbandoned)
{
    const TempFolder& scope = hugeScope();
    useScope(scope.path(), true);
    Branch b(QString::fromStdString(scope / "views"));
    b.load(folderAt(QString::fromStdString(scope / "huge")), false, false);
    b.load(folderAt(QString::fromStdString(scope / "small")), false, false);
    ASSERT_TRUE(waitUntil([&] { return settled(b); }));
    b.finishBackgroundReads();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(titles(b.entries()), QStringList {"only.txt"});

    b.load(folderAt(QString::fromStdString(scope / "huge")), false, false);
    b.stopReading();
    EXPECT_FALSE(b.loading());
    b.finishBackgroundReads();
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(b.entries().isEmpty());
    EXPECT_EQ(b.message(), "Reading folder…") << "stopping leaves the message as it was";
}
