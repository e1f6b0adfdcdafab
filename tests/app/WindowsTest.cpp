#include "FakeApplication.h"
#include "FakeAuthenticator.h"
#include "Files.h"
#include "TestHome.h"
#include "Waiting.h"
#include "platform/Workspace.h"
#include "scanner/Controller.h"
#include "scanner/FileRow.h"
#include "scanner/LogView.h"
#include "scanner/QuitTallyroom.h"
#include "scanner/ReviewSheet.h"
#include "scanner/TallyroomView.h"
#include "setup/DiskSetup.h"
#include "setup/SessionDisk.h"
#include "shell/TallyroomApp.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class FakeWorkspace : public Workspace {
public:
    QStringList revealed;
    QStringList opened;
    bool opens = true;
    void reveal(const QString& path) override { revealed.append(path); }
    bool open(const QString& path) override
    {
        opened.append(path);
        return opens;
    }
};

std::string freshTree(const std::string& name)
{
    const std::string tree = TestHome::path() + "/" + name + "-" + std::to_string(getpid());
    Files::makeFolder(tree);
    return tree;
}

DiskScope scopeOf(const std::string& tree, bool readOnly = false)
{
    return DiskScope(tree, false, TestHome::path() + "/Library/Application Support/tallyroom", readOnly);
}

template <typename T = QWidget>
T* child(QWidget* root, const QString& name)
{
    T* found = root->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

QPushButton* buttonTitled(QWidget* root, const QString& text)
{
    for (QPushButton* button : root->findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

bool showsText(QWidget* root, const QString& text)
{
    for (QLabel* label : root->findChildren<QLabel*>())
        if (label->text() == text && label->isVisibleTo(root))
            return true;
    return false;
}

// The rows on show, once the ones they replaced are gone.
std::vector<FileRow*> rowsOf(QWidget* view)
{
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QList<FileRow*> rows = view->findChildren<FileRow*>();
    return {rows.begin(), rows.end()};
}

// A scanner window over a controller, shown offscreen.
struct Scanner {
    FakeAuthenticator authenticator;
    FakeApplication application;
    FakeWorkspace workspace;
    std::unique_ptr<Controller> c;
    std::unique_ptr<TallyroomView> view;
    std::optional<DiskScope> changedTo;
    QStringList opened;

    explicit Scanner(const DiskScope& scope)
    {
        SessionDisk::setCurrent(scope);
        c = std::make_unique<Controller>(DELVER, authenticator, application);
        view = std::make_unique<TallyroomView>(
            *c, workspace, [this](const DiskScope& s) { changedTo = s; }, [this](const QString& id) { opened.append(id); });
        view->resize(760, 680);
        view->show();
    }

    void scan()
    {
        QTest::mouseClick(child<QPushButton>(view.get(), "scanDisk"), Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return !c->busy(); }));
    }

    std::vector<std::string> listedNames() const
    {
        std::vector<std::string> names;
        for (FileRow* row : rowsOf(view.get()))
            names.push_back(row->row().raw.substr(row->row().raw.rfind('/') + 1));
        return names;
    }
};

}

TEST(ScannerWindow, BeforeAnyScan)
{
    const std::string tree = freshTree("before");
    Scanner s(scopeOf(tree));
    EXPECT_TRUE(showsText(s.view.get(), "The scan is read-only. You choose what to remove."));
    EXPECT_FALSE(child(s.view.get(), "selectionSummary")->isVisibleTo(s.view.get()));
    EXPECT_EQ(child<QLabel>(s.view.get(), "diskName")->text().toStdString(), tree.substr(tree.rfind('/') + 1));
    EXPECT_EQ(child<QLabel>(s.view.get(), "status")->text(), "Scan the selected disk to find the largest files.");
    EXPECT_TRUE(child<QPushButton>(s.view.get(), "verifyDisk")->isEnabled());
    EXPECT_FALSE(buttonTitled(s.view.get(), "Open report")->isVisibleTo(s.view.get()));
    QTest::mouseClick(buttonTitled(s.view.get(), "Scan Log"), Qt::LeftButton);
    QTest::mouseClick(buttonTitled(s.view.get(), "◆ Viewer"), Qt::LeftButton);
    EXPECT_EQ(s.opened, (QStringList {"log", "viewer"}));
}

TEST(ScannerWindow, ListFollowsGroupAndSelectableOnly)
{
    const std::string tree = freshTree("groups");
    Files::make(tree + "/film.mov", 5000);
    Files::make(tree + "/notes.txt", 4000);
    Files::make(tree + "/.hidden/clip.mp4", 3000);
    Scanner s(scopeOf(tree));
    s.scan();
    EXPECT_EQ(s.listedNames(), (std::vector<std::string> {"film.mov", "notes.txt", "clip.mp4"}));
    EXPECT_EQ(child<QLabel>(s.view.get(), "progressLabel")->text(), "100% complete");

    QTest::mouseClick(buttonTitled(s.view.get(), "Top 10 video && audio"), Qt::LeftButton);
    EXPECT_EQ(s.c->group(), "Video & audio");
    EXPECT_EQ(s.listedNames(), (std::vector<std::string> {"film.mov", "clip.mp4"}));
    s.view->findChild<QCheckBox*>()->click();
    EXPECT_TRUE(s.c->onlyPersonal());
    EXPECT_EQ(s.listedNames(), std::vector<std::string> {"film.mov"});

    FileRow* film = rowsOf(s.view.get()).front();
    EXPECT_EQ(film->accessibleName(), "Select film.mov");
    EXPECT_EQ(film->accessibleDescription(), "Not selected");
    QTest::mouseClick(film, Qt::LeftButton);
    EXPECT_EQ(s.c->selection().size(), 1u);
    EXPECT_EQ(child<QLabel>(s.view.get(), "selectionSummary")->text(), "1 selected • 5 KB");
    EXPECT_EQ(rowsOf(s.view.get()).front()->accessibleDescription(), "Selected");
    EXPECT_TRUE(child<QPushButton>(s.view.get(), "reviewDeletion")->isEnabled());

    s.view->findChild<QCheckBox*>()->click();
    QTest::mouseClick(buttonTitled(s.view.get(), "Top 10 files"), Qt::LeftButton);
    FileRow* hidden = rowsOf(s.view.get()).back();
    EXPECT_EQ(hidden->accessibleName(), "Report only: clip.mp4");
    EXPECT_EQ(hidden->tag(), "Report only");
}

TEST(ScannerWindow, EnablingRulesFollowTheControllersState)
{
    const std::string tree = freshTree("rules");
    Files::make(tree + "/a.bin", 100);
    Scanner readOnly(scopeOf(tree, true));
    EXPECT_FALSE(child<QPushButton>(readOnly.view.get(), "verifyDisk")->isEnabled());
    readOnly.scan();
    EXPECT_FALSE(rowsOf(readOnly.view.get()).front()->isEnabled()) << "nothing selectable in Read-Only Mode";
    EXPECT_FALSE(child<QPushButton>(readOnly.view.get(), "reviewDeletion")->isEnabled());

    Scanner active(scopeOf(tree));
    active.c->run("scan");
    EXPECT_FALSE(child<QPushButton>(active.view.get(), "scanDisk")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(active.view.get(), "changeDisk")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(active.view.get(), "verifyDisk")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(active.view.get(), "pauseScan")->isEnabled()) << "no worker yet";
    EXPECT_FALSE(child<QPushButton>(active.view.get(), "cancelScan")->isEnabled());
    EXPECT_FALSE(child(active.view.get(), "modeControl")->isEnabled());
    ASSERT_TRUE(waitUntil([&] { return !active.c->busy(); }));
    EXPECT_TRUE(child<QPushButton>(active.view.get(), "scanDisk")->isEnabled());
    EXPECT_TRUE(rowsOf(active.view.get()).front()->isEnabled());

    const std::string outside = "/tmp/tallyroom-rules-" + std::to_string(getpid());
    Files::make(outside + "/shared.bin", 10);
    Scanner shared(DiskScope(outside, false, TestHome::path() + "/Library/Application Support/tallyroom"));
    shared.authenticator.hold = true;
    shared.scan();
    QTest::mouseClick(rowsOf(shared.view.get()).front(), Qt::LeftButton);
    EXPECT_TRUE(shared.c->authenticating());
    EXPECT_FALSE(child<QPushButton>(shared.view.get(), "scanDisk")->isEnabled());
    EXPECT_FALSE(rowsOf(shared.view.get()).front()->isEnabled());
    shared.authenticator.answer();
    EXPECT_EQ(rowsOf(shared.view.get()).front()->tag(), "Unlocked");
    std::filesystem::remove_all(outside);
}

TEST(ScannerWindow, ReviewSheetListsTheSelectionAndDeletes)
{
    const std::string tree = freshTree("review");
    Files::make(tree + "/big.bin", 3000);
    Files::make(tree + "/small.bin", 1000);
    Scanner s(scopeOf(tree));
    s.scan();
    for (size_t i = 0; i < 2; ++i) {
        QTest::mouseClick(rowsOf(s.view.get()).at(i), Qt::LeftButton);
    }
    QTest::mouseClick(child<QPushButton>(s.view.get(), "reviewDeletion"), Qt::LeftButton);
    ASSERT_TRUE(s.c->review());
    auto* sheet = s.view->findChild<ReviewSheet*>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(showsText(sheet, "Permanently delete 2 selected files?"));
    EXPECT_TRUE(showsText(sheet, "This bypasses the Trash. Synced copies may also be removed."));
    EXPECT_EQ(sheet->findChild<QPlainTextEdit*>()->toPlainText().toStdString(),
              tree + "/big.bin  •  3 KB\n" + tree + "/small.bin  •  1 KB");
    QTest::mouseClick(buttonTitled(sheet, "Cancel"), Qt::LeftButton);
    EXPECT_FALSE(s.c->review());
    ASSERT_TRUE(waitUntil([&] { return s.view->findChild<ReviewSheet*>() == nullptr; }, 2000));

    s.c->setReview(true);
    sheet = s.view->findChild<ReviewSheet*>();
    QTest::mouseClick(buttonTitled(sheet, "Delete permanently"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !s.c->busy(); }));
    EXPECT_FALSE(Files::exists(tree + "/big.bin"));
    for (FileRow* row : rowsOf(s.view.get())) {
        EXPECT_EQ(row->tag(), "Deleted");
        EXPECT_FALSE(row->isEnabled());
        EXPECT_EQ(row->accessibleDescription(), "Deleted");
    }
}

TEST(ScannerWindow, FailuresBecomeAlertsAndQuitAsksDuringAScan)
{
    const std::string tree = freshTree("alerts");
    Scanner s(scopeOf(tree));
    s.c->setFailure(OperationFailure {QUuid::createUuid(), "Scan could not finish", "Because."});
    auto* alert = s.view->findChild<QMessageBox*>("failureAlert");
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->windowTitle(), "Scan could not finish");
    EXPECT_EQ(alert->text(), "Scan could not finish");
    EXPECT_EQ(alert->informativeText(), "Because.");
    alert->accept();
    EXPECT_TRUE(waitUntil([&] { return !s.c->failure(); }, 2000));

    s.workspace.opens = false;
    s.scan();
    QTest::mouseClick(buttonTitled(s.view.get(), "Open report"), Qt::LeftButton);
    ASSERT_TRUE(s.c->failure());
    EXPECT_EQ(s.c->failure()->action, "Could not open report");
    EXPECT_EQ(s.c->failure()->reason, *s.c->report());

    Files::makeTree(tree, 300, 400);
    s.c->setFailure(std::nullopt);
    s.c->run("scan");
    ASSERT_TRUE(waitUntil([&] { return s.c->worker() != nullptr; }, 5000));
    auto* quit = s.view->findChild<QuitTallyroom*>();
    QTest::mouseClick(quit, Qt::LeftButton);
    ASSERT_NE(quit->confirmation(), nullptr);
    EXPECT_EQ(quit->confirmation()->text(), "Cancel the scan and quit?");
    EXPECT_EQ(quit->confirmation()->informativeText(), "No files will be deleted.");
    QTest::mouseClick(buttonTitled(quit->confirmation(), "Cancel scan and quit"), Qt::LeftButton);
    EXPECT_TRUE(s.c->quitAfterScan());
    ASSERT_TRUE(waitUntil([&] { return !s.c->busy(); }));
    EXPECT_EQ(s.c->status(), "Scan cancelled. No files were deleted.");
    EXPECT_EQ(s.application.terminations, 1);
}

TEST(ScanLog, ShowsAPlaceholderThenFollowsTheEnd)
{
    const std::string tree = freshTree("log");
    FakeAuthenticator authenticator;
    FakeApplication application;
    SessionDisk::setCurrent(scopeOf(tree));
    Controller c(DELVER, authenticator, application);
    LogView view(c);
    view.resize(760, 420);
    view.show();
    EXPECT_TRUE(showsText(&view, "Waiting for a scan or disk operation."));
    for (int i = 0; i < 700; ++i)
        c.log(QStringLiteral("line %1").arg(i));
    QApplication::processEvents();
    EXPECT_FALSE(showsText(&view, "Waiting for a scan or disk operation."));
    QPlainTextEdit* text = view.text();
    EXPECT_EQ(text->document()->blockCount(), 600);
    EXPECT_TRUE(text->toPlainText().endsWith("  line 699"));
    EXPECT_EQ(text->verticalScrollBar()->value(), text->verticalScrollBar()->maximum());
    EXPECT_GT(text->verticalScrollBar()->maximum(), 0);
}

TEST(Setup, ConfirmStaysOffUntilADiskIsChosen)
{
    bool cancelled = false;
    std::optional<DiskScope> started;
    DiskSetup setup([&] { cancelled = true; }, [&](const DiskScope& scope) { started = scope; });
    setup.show();
    auto* confirm = child<QPushButton>(&setup, "confirmSetup");
    EXPECT_EQ(confirm->text(), "Use this disk");
    EXPECT_FALSE(confirm->isEnabled());
    EXPECT_EQ(child<QPushButton>(&setup, "diskMenu")->text(), "Select a disk…");
    EXPECT_EQ(buttonTitled(&setup, "Keep"), nullptr) << "no folder rows when changing disks";
    ASSERT_TRUE(waitUntil([&] { return !setup.volumes().empty(); }));
    EXPECT_EQ(setup.volumes().front().url, "/");

    setup.chooseVolume({"/media/x", "Stick"});
    EXPECT_EQ(child<QLabel>(&setup, "selectedDisk")->text(), "Stick") << "a volume's name shows at once";
    EXPECT_EQ(child<QPushButton>(&setup, "diskMenu")->text(), "Change selection…");
    EXPECT_TRUE(confirm->isEnabled());

    const std::string tree = freshTree("setup");
    setup.chooseFolder(QString::fromStdString(tree));
    EXPECT_EQ(child<QLabel>(&setup, "selectedDisk")->text(), "Looking up disk…");
    EXPECT_EQ(child<QLabel>(&setup, "location")->text().toStdString(), tree);
    EXPECT_TRUE(waitUntil([&] { return setup.selectedDiskName().has_value(); }));

    QTest::mouseClick(buttonTitled(&setup, "Cancel"), Qt::LeftButton);
    EXPECT_TRUE(cancelled);
    QTest::mouseClick(confirm, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return started.has_value(); }));
    EXPECT_EQ(started->root(), tree);
    EXPECT_TRUE(started->readOnly()) << "Read-Only Mode is the first choice";
}

TEST(Setup, AFailureStopsSetupWithTheReason)
{
    DiskSetup setup(nullptr, [](const DiskScope&) { FAIL() << "nothing may start"; });
    setup.show();
    EXPECT_EQ(child<QPushButton>(&setup, "confirmSetup")->text(), "Start App");
    EXPECT_NE(buttonTitled(&setup, "Stop setup and quit"), nullptr);
    EXPECT_NE(buttonTitled(&setup, "Keep"), nullptr);
    setup.setDataFolder(QString::fromStdString(TestHome::path() + "/Library/Other"));
    setup.chooseFolder(QString::fromStdString(freshTree("stopped")));
    setup.begin();
    EXPECT_TRUE(setup.preparing());
    ASSERT_TRUE(waitUntil([&] { return setup.stoppedAlert() != nullptr; }));
    const QString reason = "Choose Applications or an ordinary folder in your home folder for installation, and a personal folder for reports.";
    EXPECT_EQ(setup.stoppedAlert()->windowTitle(), "Setup stopped");
    EXPECT_EQ(setup.stoppedAlert()->informativeText(), reason);
    QTest::mouseClick(buttonTitled(setup.stoppedAlert(), "Review folders"), Qt::LeftButton);
    EXPECT_TRUE(waitUntil([&] { return setup.stoppedAlert() == nullptr; }, 2000));
    EXPECT_FALSE(setup.preparing());
    auto* error = child<QLabel>(&setup, "setupError");
    EXPECT_TRUE(error->isVisibleTo(&setup));
    EXPECT_EQ(error->text(), reason);
}

TEST(Shell, SessionsStartFromTheCommandLineAndChangeDiskDropsTheOldOne)
{
    FakeAuthenticator authenticator;
    const std::string tree = freshTree("shell");
    EXPECT_FALSE(TallyroomApp::selectedDisk({"tallyroom", "--selected-disk", "garbage"}));
    EXPECT_FALSE(TallyroomApp::selectedDisk({"tallyroom", "--selected-disk"}));
    const QString handed = QString::fromStdString(scopeOf(tree).toBase64());

    TallyroomApp app(authenticator, DELVER);
    app.launch({"tallyroom", "--selected-disk", "not base64"});
    EXPECT_FALSE(app.ready());
    EXPECT_NE(app.window("main")->findChild<DiskSetup*>(), nullptr);
    app.openWindow("viewer");
    EXPECT_TRUE(showsText(app.window("viewer"), "Choose the target disk in the main window."));

    app.launch({"tallyroom", "--selected-disk", handed});
    ASSERT_TRUE(app.ready());
    EXPECT_EQ(app.window("main")->windowTitle().left(11), "tallyroom v");
    app.controller().log("old session");
    app.openWindow("log");
    const QUuid firstSession = app.sessionID();

    app.start(scopeOf(freshTree("shell-second")));
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_NE(app.sessionID(), firstSession);
    EXPECT_TRUE(app.controller().lines().isEmpty());
    EXPECT_TRUE(showsText(app.window("log"), "Waiting for a scan or disk operation."));
    EXPECT_EQ(app.window("main")->findChildren<TallyroomView*>().size(), 1);
}

TEST(Shell, QuittingWaitsForAScanAndRefusesDuringOtherOperations)
{
    FakeAuthenticator authenticator;
    const std::string tree = freshTree("quit");
    TallyroomApp app(authenticator, DELVER_FAKECHECK);
    EXPECT_EQ(app.lifecycle().applicationShouldTerminate(), AppLifecycle::Reply::Now) << "idle";
    app.start(scopeOf(tree));
    qputenv("FAKE_CHECK_STATUS", "0");
    app.controller().run("verify");
    EXPECT_EQ(app.lifecycle().applicationShouldTerminate(), AppLifecycle::Reply::Cancel);
    ASSERT_TRUE(waitUntil([&] { return !app.controller().busy(); }));
    qunsetenv("FAKE_CHECK_STATUS");

    Files::makeTree(tree, 300, 400);
    app.controller().run("scan");
    EXPECT_EQ(app.lifecycle().applicationShouldTerminate(), AppLifecycle::Reply::Later);
    EXPECT_TRUE(app.controller().quitAfterScan());
    EXPECT_TRUE(app.controller().terminateReplyPending());
    ASSERT_TRUE(waitUntil([&] { return !app.controller().busy(); }));
    EXPECT_EQ(app.controller().status(), "Scan cancelled. No files were deleted.");
}
