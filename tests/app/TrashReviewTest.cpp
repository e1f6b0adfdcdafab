#include "FakeApplication.h"
#include "FakeAuthenticator.h"
#include "Files.h"
#include "NoApplications.h"
#include "QuietWorkspace.h"
#include "TestHome.h"
#include "Waiting.h"
#include "app/operations/Controller.h"
#include "app/platform/Applications.h"
#include "app/platform/Workspace.h"
#include "app/session/SessionDisk.h"
#include "app/trash/FolderAction.h"
#include "app/trash/TrashReview.h"
#include "app/trash/TrashSheet.h"
#include "app/viewer/DiskViewer.h"
#include "shared/TrashProblem.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string protectedText = "This location is protected or no longer available.";
const std::string lockedText = "This item is locked or protected in the Viewer.";

std::string home()
{
    return TestHome::path();
}

// The home folder is the session's scope, so its own folders are inside it.
void useHome(bool readOnly = false)
{
    SessionDisk::setTrashBlocked(false);
    SessionDisk::setCurrent(DiskScope(home(), false, home() + "/Library/Application Support/tallyroom", readOnly));
}

VEntry fileEntry(const std::string& path)
{
    return VEntry {QString::fromStdString(path), false, false, 0};
}

VEntry folderEntry(const std::string& path)
{
    return VEntry {QString::fromStdString(path), true, false, 0};
}

// The refusal's text, or "" when the ticket was made.
std::string refusal(const VEntry& entry)
{
    try {
        TrashReview ticket(entry);
        return "";
    } catch (const TrashProblem& problem) {
        return problem.text();
    }
}

std::string moveRefusal(const TrashReview& ticket, bool authenticated)
{
    try {
        ticket.move(authenticated);
        return "";
    } catch (const std::exception& error) {
        return error.what();
    }
}

bool trashed(const std::string& name)
{
    return Files::exists(home() + "/.local/share/Trash/files/" + name);
}

class TrashReviewTest : public ::testing::Test {
protected:
    void SetUp() override { useHome(); }
};

}

TEST_F(TrashReviewTest, SessionGatesComeFirstInOrder)
{
    const std::string file = home() + "/gates/file.txt";
    Files::make(file);
    useHome(true);
    SessionDisk::setTrashBlocked(true);
    EXPECT_EQ(refusal(fileEntry(file)),
              "Volume verification failed or is in progress. Verify the disk successfully before deleting items.");
    SessionDisk::setTrashBlocked(false);
    EXPECT_EQ(refusal(fileEntry(file)), "Moving items requires Active Mode.");
    useHome();
    EXPECT_EQ(refusal(fileEntry(file)), "");
}

TEST_F(TrashReviewTest, LocationGates)
{
    Files::make(home() + "/place/real/file.txt");
    Files::make(home() + "/place/.hidden/file.txt");
    ASSERT_EQ(symlink((home() + "/place/real").c_str(), (home() + "/place/through").c_str()), 0);
    EXPECT_EQ(refusal(fileEntry(home() + "/place/.hidden/file.txt")), protectedText);
    EXPECT_EQ(refusal(fileEntry(home() + "/place/real/../real/file.txt")), protectedText);
    EXPECT_EQ(refusal(fileEntry(home() + "/place/./real/file.txt")), protectedText);
    EXPECT_EQ(refusal(fileEntry(home() + "/place/through/file.txt")), protectedText) << "a link above the item";
    EXPECT_EQ(refusal(fileEntry(home() + "/place/real/missing.txt")), protectedText);
    EXPECT_EQ(refusal(fileEntry("/etc/hostname")), protectedText) << "outside the scope";
    EXPECT_EQ(refusal(folderEntry(home())), protectedText) << "the scope's root";
    EXPECT_EQ(refusal(VEntry {QString::fromStdString(home() + "/place/through"), false, true, 0}), "")
        << "the link itself may go";
}

TEST_F(TrashReviewTest, OnTheStartupDiskOnlyItemsInsideHomeFoldersPass)
{
    Files::make(home() + "/startup/file.txt");
    SessionDisk::setCurrent(DiskScope("/", false, home() + "/Library/Application Support/tallyroom"));
    EXPECT_EQ(refusal(fileEntry(home() + "/startup/file.txt")), protectedText) << "not below " << DiskScope::usersFolder;
}

TEST_F(TrashReviewTest, KindMustMatchTheEntry)
{
    Files::makeFolder(home() + "/kind/now-a-folder");
    EXPECT_EQ(refusal(fileEntry(home() + "/kind/now-a-folder")), "Item changed. Refresh the folder and try again.");
    EXPECT_EQ(refusal(folderEntry(home() + "/kind/now-a-folder")), "");
}

TEST_F(TrashReviewTest, ProtectedPlacesAndWhoMustAuthenticate)
{
    Files::make(home() + "/Desktop/note.txt");
    Files::make(home() + "/Library/Caches/cache.bin");
    Files::make(home() + "/Library/Preferences/prefs.plist");
    Files::make(home() + "/Pics/Holiday.PhotosLibrary/inner/photo.jpg");
    Files::make(home() + "/work/Applications/tool");

    EXPECT_EQ(refusal(folderEntry(home() + "/Desktop")), lockedText);
    const TrashReview desktopFile(fileEntry(home() + "/Desktop/note.txt"));
    EXPECT_FALSE(desktopFile.auth);
    const TrashReview cache(fileEntry(home() + "/Library/Caches/cache.bin"));
    EXPECT_TRUE(cache.auth);
    EXPECT_EQ(refusal(fileEntry(home() + "/Library/Preferences/prefs.plist")), lockedText);
    // The scope's own deletion rule already refuses packages and "Applications", before the
    // Viewer's locks are reached.
    EXPECT_EQ(refusal(folderEntry(home() + "/Pics/Holiday.PhotosLibrary")), protectedText);
    EXPECT_EQ(refusal(fileEntry(home() + "/Pics/Holiday.PhotosLibrary/inner/photo.jpg")), protectedText);
    EXPECT_EQ(refusal(folderEntry(home() + "/Pics")), "");
    EXPECT_EQ(refusal(fileEntry(home() + "/work/Applications/tool")), protectedText);
}

TEST_F(TrashReviewTest, FolderFromThePanel)
{
    Files::make(home() + "/panel/folder/file.txt");
    ASSERT_EQ(symlink((home() + "/panel/folder").c_str(), (home() + "/panel/link").c_str()), 0);
    const TrashReview ticket = TrashReview::folder(QUrl::fromLocalFile(QString::fromStdString(home() + "/panel/./folder")));
    EXPECT_EQ(ticket.entry, folderEntry(home() + "/panel/folder")) << "the path is standardized";
    for (const char* refused : {"/panel/link", "/panel/folder/file.txt", "/panel/missing"}) {
        try {
            TrashReview::folder(QUrl::fromLocalFile(QString::fromStdString(home() + refused)));
            ADD_FAILURE() << refused << " was accepted";
        } catch (const TrashProblem& problem) {
            EXPECT_EQ(problem.text(), "Choose a folder on the selected disk.");
        }
    }
}

TEST_F(TrashReviewTest, MoveChecksEverythingAgain)
{
    const std::string touched = home() + "/moves/touched.txt";
    const std::string switched = home() + "/moves/switched.txt";
    const std::string moved = home() + "/moves/moved-" + std::to_string(getpid()) + ".txt";
    for (const std::string& path : {touched, switched, moved})
        Files::make(path);

    const TrashReview touchedTicket(fileEntry(touched));
    ASSERT_EQ(chmod(touched.c_str(), 0600), 0);
    EXPECT_EQ(moveRefusal(touchedTicket, false), "The item changed since review. Nothing was moved.");
    EXPECT_TRUE(Files::exists(touched));

    const TrashReview switchedTicket(fileEntry(switched));
    useHome(true);
    useHome(false);
    EXPECT_EQ(moveRefusal(switchedTicket, false), "The disk or mode changed. Review this item again.");
    EXPECT_TRUE(Files::exists(switched));

    const TrashReview ticket(fileEntry(moved));
    EXPECT_EQ(moveRefusal(ticket, false), "");
    EXPECT_FALSE(Files::exists(moved));
    EXPECT_TRUE(trashed("moved-" + std::to_string(getpid()) + ".txt"));
}

TEST_F(TrashReviewTest, AuthenticationBeforeTheMove)
{
    const std::string cached = home() + "/Library/Caches/auth-" + std::to_string(getpid());
    Files::make(cached);
    const TrashReview ticket(fileEntry(cached));
    ASSERT_TRUE(ticket.auth);
    EXPECT_EQ(moveRefusal(ticket, false), "Mac authentication is required.");

    FakeAuthenticator authenticator;
    authenticator.failure = QStringLiteral("Authentication was cancelled.");
    QObject context;
    std::optional<std::optional<QString>> result;
    ticket.moveAfterApproval(&authenticator, &context, [&](std::optional<QString> failure) { result = failure; });
    ASSERT_TRUE(waitUntil([&] { return result.has_value(); }));
    EXPECT_EQ(*result, QStringLiteral("Authentication was cancelled."));
    EXPECT_EQ(authenticator.reasons, QStringList {"Move auth-" + QString::number(getpid()) + " to the Trash."});
    EXPECT_TRUE(Files::exists(cached));

    authenticator.failure.reset();
    result.reset();
    ticket.moveAfterApproval(&authenticator, &context, [&](std::optional<QString> failure) { result = failure; });
    ASSERT_TRUE(waitUntil([&] { return result.has_value(); }));
    EXPECT_EQ(*result, std::nullopt);
    EXPECT_FALSE(Files::exists(cached));
}

TEST_F(TrashReviewTest, ViewerRequestAndApproval)
{
    const std::string folder = home() + "/viewer-" + std::to_string(getpid());
    Files::make(folder + "/open/inner.txt");
    Files::make(folder + "/.dot");
    Branch b;
    b.load(folderEntry(folder + "/open"), false, false);
    ASSERT_TRUE(waitUntil([&] { return !b.loading(); }));

    b.requestTrash(fileEntry(folder + "/.dot"));
    EXPECT_FALSE(b.pending());
    EXPECT_EQ(b.notice().toStdString(), protectedText);
    ASSERT_TRUE(b.failure());
    EXPECT_EQ(b.failure()->action, "Cannot move item to Trash");

    b.requestTrash(folderEntry(folder + "/open"));
    ASSERT_TRUE(b.pending());
    const TrashReview ticket = *b.pending();
    b.requestTrash(fileEntry(folder + "/open/inner.txt"));
    EXPECT_EQ(b.pending()->id, ticket.id) << "one review at a time";

    TrashReview stranger(fileEntry(folder + "/open/inner.txt"));
    b.approve(stranger);
    EXPECT_FALSE(b.moving()) << "only the pending ticket is approved";

    b.approve(ticket);
    EXPECT_TRUE(b.moving());
    EXPECT_FALSE(b.pending());
    ASSERT_TRUE(waitUntil([&] { return !b.moving() && !b.loading(); }));
    EXPECT_EQ(b.notice(), QString::fromStdString("Moved to Trash: " + folder + "/open"));
    EXPECT_EQ(b.folder().path.toStdString(), folder) << "the open folder went, so its parent opens";
    EXPECT_FALSE(Files::exists(folder + "/open"));
}

TEST_F(TrashReviewTest, FailedViewerMoveLeavesTheFolder)
{
    const std::string folder = home() + "/failing-" + std::to_string(getpid());
    Files::make(folder + "/item.txt");
    Branch b;
    b.load(folderEntry(folder), false, false);
    ASSERT_TRUE(waitUntil([&] { return !b.loading(); }));
    b.requestTrash(fileEntry(folder + "/item.txt"));
    ASSERT_TRUE(b.pending());
    ASSERT_EQ(chmod((folder + "/item.txt").c_str(), 0600), 0);
    const QUuid stamp = b.stamp();
    b.approve(*b.pending());
    ASSERT_TRUE(waitUntil([&] { return !b.moving(); }));
    EXPECT_EQ(b.notice(), "Nothing was moved: The item changed since review. Nothing was moved.");
    ASSERT_TRUE(b.failure());
    EXPECT_EQ(b.failure()->action, "Could not move item to Trash");
    EXPECT_EQ(b.stamp(), stamp) << "not reloaded";
    EXPECT_TRUE(Files::exists(folder + "/item.txt"));
}

TEST_F(TrashReviewTest, FolderActionReviewsAndMoves)
{
    const std::string folder = home() + "/action-" + std::to_string(getpid());
    Files::make(folder + "/file.txt");
    QStringList notes;
    FakeAuthenticator authenticator;
    FolderAction action([&](const QString& text) { notes.append(text); }, &authenticator);

    action.review(QUrl::fromLocalFile(QString::fromStdString(folder + "/file.txt")));
    EXPECT_EQ(notes, QStringList {"Nothing was moved: Choose a folder on the selected disk."});
    EXPECT_FALSE(action.ticket());

    action.review(QUrl::fromLocalFile(QString::fromStdString(folder)));
    ASSERT_TRUE(action.ticket());
    ASSERT_NE(action.sheet(), nullptr);
    EXPECT_EQ(action.sheet()->findChild<QLabel*>("trashTitle")->text(), "Move this folder to the Trash?");
    EXPECT_EQ(action.sheet()->findChild<QLabel*>("trashBody")->text(),
              "Everything inside this folder will move with it. You can put the folder back from the Trash.");
    EXPECT_EQ(action.sheet()->findChild<QLabel*>("trashAuth"), nullptr) << "inside the home folder";
    action.sheet()->reject();
    EXPECT_FALSE(action.ticket()) << "dismissing clears the ticket";

    action.review(QUrl::fromLocalFile(QString::fromStdString(folder)));
    ASSERT_NE(action.sheet(), nullptr);
    action.sheet()->findChild<QPushButton*>("approveTrash")->click();
    EXPECT_TRUE(action.working());
    ASSERT_TRUE(waitUntil([&] { return !action.working(); }));
    EXPECT_EQ(notes.last(), QString::fromStdString("Moved folder to Trash: " + folder));
    EXPECT_FALSE(Files::exists(folder));
}

TEST_F(TrashReviewTest, FolderChosenInThePanelGoesToReview)
{
    const std::string folder = home() + "/chosen-" + std::to_string(getpid());
    Files::make(folder + "/file.txt");
    FakeAuthenticator authenticator;
    FolderAction action([](const QString&) {}, &authenticator);
    QString acceptLabel;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* panel = qobject_cast<QFileDialog*>(modal);
        if (!panel) {
            ADD_FAILURE() << "no open panel";
            if (modal)
                modal->close();
            return;
        }
        acceptLabel = panel->labelText(QFileDialog::Accept);
        panel->setDirectory(QString::fromStdString(home()));
        panel->selectFile(QString::fromStdString(folder));
        static_cast<QDialog*>(panel)->accept();
    });
    action.choose();
    EXPECT_EQ(acceptLabel, "Review Folder");
    ASSERT_TRUE(action.ticket());
    EXPECT_EQ(action.ticket()->entry.path.toStdString(), folder);
    ASSERT_NE(action.sheet(), nullptr);

    action.sheet()->reject();
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    action.choose();
    EXPECT_FALSE(action.ticket()) << "a closed panel reviews nothing";
    EXPECT_TRUE(Files::exists(folder));
}

TEST_F(TrashReviewTest, ViewerSheetFollowsThePendingTicket)
{
    const std::string folder = home() + "/sheet-" + std::to_string(getpid());
    Files::make(folder + "/Cats.txt");
    Files::make(home() + "/Library/Caches/sheet-" + std::to_string(getpid()));
    FakeAuthenticator authenticator;
    FakeApplication application;
    QuietWorkspace workspace;
    NoApplications applications;
    Controller c(DELVER, authenticator, application);
    DiskViewer view(c, workspace, applications, [](const QString&) {});
    Branch& b = view.branch();

    b.requestTrash(fileEntry(folder + "/Cats.txt"));
    auto* sheet = view.findChild<TrashSheet*>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->findChild<QLabel*>("trashTitle")->text(), "Move this item to the Trash?");
    EXPECT_EQ(sheet->findChild<QLabel*>("trashBody")->text(), "You can put this item back from the Trash.");
    sheet->reject();
    EXPECT_FALSE(b.pending()) << "dismissing clears the ticket";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(view.findChild<TrashSheet*>(), nullptr);

    b.requestTrash(folderEntry(home() + "/Library/Caches"));
    EXPECT_FALSE(b.pending()) << "Library/Caches itself is locked";
    b.requestTrash(fileEntry(home() + "/Library/Caches/sheet-" + std::to_string(getpid())));
    ASSERT_TRUE(b.pending());
    QPointer<TrashSheet> open = view.findChild<TrashSheet*>();
    ASSERT_TRUE(open);
    EXPECT_EQ(open->findChild<QLabel*>("trashAuth")->text(), "macOS will also ask you to authenticate.");
    c.setReadOnly(true);
    EXPECT_FALSE(b.pending()) << "Read-Only closes the review";
    EXPECT_TRUE(open.isNull() || !open->isVisible());
}
