#include "ViewerSession.h"
#include "app/folders/DiskTree.h"
#include "app/folders/DiskViewerError.h"
#include "app/folders/ReadCancelled.h"
#include "shared/TrashProblem.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <QElapsedTimer>
#include <QtConcurrent>

#include <filesystem>

namespace {

QStringList titles(const QList<VEntry>& entries)
{
    QStringList out;
    for (const VEntry& entry : entries)
        out.append(entry.title());
    return out;
}

// Whether this process holds the folder open, as a listing does while it reads it.
bool heldOpen(const QString& folder)
{
    const std::filesystem::path target = std::filesystem::canonical(folder.toStdString());
    std::error_code error;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        std::error_code gone;
        if (std::filesystem::read_symlink(fd.path(), gone) == target)
            return true;
    }
    return false;
}

std::string describe(const std::function<void()>& read)
{
    try {
        read();
    } catch (const Problem& problem) {
        return problem.description();
    }
    return "no error";
}

}

TEST(DiskTree, ListsFoldersFirstThenNamesInNumericCaseInsensitiveOrder)
{
    ViewerSession session;
    Files::makeFolder(session / "b");
    Files::makeFolder(session / "A folder");
    Files::make(session / "a10", 10);
    Files::make(session / "a2", 2);
    Files::make(session / "B1", 1);
    std::filesystem::create_symlink(session / "b", session / "alias");
    const QList<VEntry> entries = DiskTree::children(session.path(), false, std::nullopt);
    EXPECT_EQ(titles(entries), (QStringList {"A folder", "b", "a2", "a10", "alias", "B1"}));
    const VEntry& link = entries[4];
    EXPECT_EQ(link.path, session.path("alias"));
    EXPECT_TRUE(link.link);
    EXPECT_FALSE(link.folder) << "a link to a folder is never a folder";
    EXPECT_EQ(link.bytes, qint64((session / "b").size())) << "the link's own length";
    EXPECT_EQ(entries[3], (VEntry {session.path("a10"), false, false, 10}));
    EXPECT_TRUE(entries[1].folder);
}

TEST(DiskTree, HiddenNamesOnlyWhenAskedAndTheLimitKeepsTheFirstAccepted)
{
    ViewerSession session;
    Files::make(session / "dots/.one");
    Files::make(session / "dots/.two");
    EXPECT_TRUE(DiskTree::children(session.path("dots"), false, std::nullopt).isEmpty());
    EXPECT_EQ(titles(DiskTree::children(session.path("dots"), true, std::nullopt)), (QStringList {".one", ".two"}));

    for (int i = 0; i < 10; ++i)
        Files::make(session / ("ten/f" + std::to_string(9 - i)));
    const QList<VEntry> three = DiskTree::children(session.path("ten"), false, 3);
    ASSERT_EQ(three.size(), 3);
    EXPECT_TRUE(std::is_sorted(three.begin(), three.end(), [](const VEntry& a, const VEntry& b) {
        return a.title() < b.title();
    }));
}

TEST(DiskTree, RefusesWhatIsNoFolderAndListsNothingOutsideTheScope)
{
    ViewerSession session;
    Files::makeFolder(session / "real");
    Files::make(session / "file");
    std::filesystem::create_symlink(session / "real", session / "alias");
    const std::string gone = "This folder is no longer available.";
    EXPECT_EQ(describe([&] { DiskTree::children(session.path("alias"), false, std::nullopt); }), gone);
    EXPECT_EQ(describe([&] { DiskTree::children(session.path("file"), false, std::nullopt); }), gone);
    EXPECT_EQ(describe([&] { DiskTree::children(session.path("missing"), false, std::nullopt); }), gone);
    try {
        DiskTree::children(session.path("missing"), false, std::nullopt);
    } catch (const DiskViewerError& error) {
        EXPECT_STREQ(error.domain, "DiskViewer");
        EXPECT_EQ(error.code, 1);
    }

    TempFolder outside;
    Files::make(outside / "x");
    EXPECT_TRUE(DiskTree::children(QString::fromStdString(outside.path()), false, std::nullopt).isEmpty());

    std::filesystem::rename(session.root.path(), session.root.path() + "-moved");
    Files::makeFolder(session.root.path());
    EXPECT_EQ(describe([&] { DiskTree::children(session.path(), false, std::nullopt); }), "Target disk is unavailable.")
        << "the root was replaced";
    std::filesystem::remove_all(session.root.path() + "-moved");
}

TEST(DiskTree, LeavesOutNamesThatAreNotUtf8)
{
    ViewerSession session;
    Files::make(session / "fine");
    Files::make(session / "bad\xff");
    EXPECT_EQ(titles(DiskTree::children(session.path(), false, std::nullopt)), QStringList {"fine"});
}

TEST(DiskTree, TheScopeRootIsTitledWithTheScopeName)
{
    ViewerSession session;
    const auto scope = SessionDisk::current();
    EXPECT_EQ(folderAt(session.path()).title(), QString::fromStdString(scope->name()));
    EXPECT_EQ(folderAt(session.path("inner")).title(), "inner");
    EXPECT_EQ(folderAt("/").titleWithin(std::nullopt), "/");

    // A root whose name takes several bytes per character is still known as the root.
    TempFolder parent;
    const std::string wide = parent / "Ünïcødé";
    Files::makeFolder(wide);
    useScope(wide);
    nlohmann::json renamed = SessionDisk::current()->toJson();
    renamed["name"] = "Wide Disk";
    const std::optional<DiskScope> wideScope = DiskScope::fromJson(renamed);
    EXPECT_EQ(folderAt(QString::fromStdString(wide)).titleWithin(wideScope), "Wide Disk");
    EXPECT_EQ(folderAt(QString::fromStdString(wide + "/Ünï")).titleWithin(wideScope), "Ünï");
    const VEntry trailing {QStringLiteral("/a/b/"), true, false, 0};
    EXPECT_EQ(trailing.name(), u"b");
}

TEST(DiskTree, TheRootFolderListsPathsWithOneSlash)
{
    useScope("/", true);
    const QList<VEntry> entries = DiskTree::children("/", false, std::nullopt);
    ASSERT_FALSE(entries.isEmpty());
    for (const VEntry& entry : entries) {
        EXPECT_TRUE(entry.path.startsWith('/') && !entry.path.startsWith("//")) << entry.path.toStdString();
        EXPECT_EQ(entry.path.count('/'), 1);
    }
}

TEST(DiskTree, CancellingStopsALongListingPromptly)
{
    const TempFolder& scope = hugeScope();
    useScope(scope.path(), true);
    const QString huge = QString::fromStdString(scope / "huge");

    std::stop_source before;
    before.request_stop();
    EXPECT_THROW(DiskTree::children(huge, false, std::nullopt, before.get_token()), ReadCancelled);

    std::stop_source stop;
    QFuture<bool> listing = QtConcurrent::run([&] {
        try {
            DiskTree::children(huge, false, std::nullopt, stop.get_token());
            return false;
        } catch (const ReadCancelled&) {
            return true;
        }
    });
    EXPECT_TRUE(waitUntil([&] { return heldOpen(huge); })) << "the listing is under way";
    QElapsedTimer sinceStop;
    sinceStop.start();
    stop.request_stop();
    EXPECT_TRUE(listing.result()) << "the listing ended with a cancellation";
    EXPECT_LT(sinceStop.elapsed(), 250) << "it stops between entries, not after the whole listing";
}
