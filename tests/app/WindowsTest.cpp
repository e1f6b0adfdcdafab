#include "AccessibleToggle.h"
#include "FakeApplication.h"
#include "FakeAuthenticator.h"
#include "Files.h"
#include "TestHome.h"
#include "Waiting.h"
#include "app/operations/Controller.h"
#include "app/platform/Workspace.h"
#include "app/scanner/BusyIndicator.h"
#include "app/scanner/FileListModel.h"
#include "app/scanner/FileListView.h"
#include "app/scanner/LogView.h"
#include "app/scanner/QuitTallyroom.h"
#include "app/scanner/ReviewSheet.h"
#include "app/scanner/TallyroomView.h"
#include "app/session/SessionDisk.h"
#include "app/setup/DiskSetup.h"
#include "app/shell/TallyroomApp.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
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

// One row of the ranked list as a person and assistive technology meet it.
struct ListedRow {
    FileListView* list;
    QModelIndex index;

    const FileListModel& model() const { return *static_cast<const FileListModel*>(index.model()); }
    QAccessibleInterface* accessible() const { return QAccessible::queryAccessibleInterface(list)->child(index.row()); }
    QString accessibleName() const { return accessible()->text(QAccessible::Name); }
    QString accessibleDescription() const { return accessible()->text(QAccessible::Description); }
    QString tag() const { return model().tag(index.row()); }
    // Whether a click may toggle it now.
    bool togglable() const { return index.flags().testFlag(Qt::ItemIsSelectable); }
    void click() const { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center()); }
};

std::vector<ListedRow> rowsOf(TallyroomView* view)
{
    std::vector<ListedRow> rows;
    FileListView* list = view->fileList();
    for (int i = 0; i < list->model()->rowCount(); ++i)
        rows.push_back({list, list->model()->index(i, 0)});
    return rows;
}

// A scanner window over a controller, shown offscreen.
struct Scanner {
    FakeAuthenticator authenticator;
    FakeApplication application;
    FakeWorkspace workspace;
    std::unique_ptr<Controller> c;
    std::unique_ptr<TallyroomView> view;
    // What the Change Disk sheet's panel was told to do when it was done.
    std::function<void()> closeChangeDisk;
    QStringList opened;

    explicit Scanner(const DiskScope& scope)
    {
        SessionDisk::setCurrent(scope);
        c = std::make_unique<Controller>(DELVER, authenticator, application);
        view = std::make_unique<TallyroomView>(
            *c, workspace,
            [this](const std::function<void()>& close) {
                closeChangeDisk = close;
                auto* panel = new QWidget;
                panel->setObjectName("changeDiskPanel");
                return panel;
            },
            [this](const QString& id) { opened.append(id); });
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
        for (const ListedRow& row : rowsOf(view.get()))
            names.push_back(row.index.data().toString().toStdString());
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
    QPushButton* viewer = buttonTitled(s.view.get(), "Viewer");
    ASSERT_NE(viewer, nullptr);
    EXPECT_FALSE(viewer->icon().isNull());
    EXPECT_FALSE(viewer->icon().pixmap(16, 16).isNull()) << "the bundled drawing loads";
    EXPECT_FALSE(child<QPushButton>(s.view.get(), "changeDisk")->isDefault()) << "no dialog here, so no default button";
    EXPECT_FALSE(s.view->findChild<BusyIndicator*>()->isVisibleTo(s.view.get()));
    QTest::mouseClick(viewer, Qt::LeftButton);
    EXPECT_EQ(s.opened, (QStringList {"log", "viewer"}));
}

TEST(ScannerWindow, ChangeDiskHoldsTheSetupPanelInASheetItsPanelCloses)
{
    Scanner s(scopeOf(freshTree("change")));
    QTest::mouseClick(child<QPushButton>(s.view.get(), "changeDisk"), Qt::LeftButton);
    auto* sheet = s.view->findChild<QDialog*>("changeDiskSheet");
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_NE(sheet->findChild<QWidget*>("changeDiskPanel"), nullptr);
    const QPointer<QDialog> open(sheet);
    s.closeChangeDisk();
    EXPECT_TRUE(waitUntil([&] { return !open; })) << "the sheet goes once its panel is done";
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

    const ListedRow film = rowsOf(s.view.get()).front();
    EXPECT_EQ(film.accessibleName(), "Select film.mov");
    EXPECT_EQ(film.accessibleDescription(), "Not selected");
    film.click();
    EXPECT_EQ(s.c->selection().size(), 1u);
    EXPECT_EQ(child<QLabel>(s.view.get(), "selectionSummary")->text(), "1 selected • 5.0\u00a0kB");
    EXPECT_EQ(rowsOf(s.view.get()).front().accessibleDescription(), "Selected");
    EXPECT_TRUE(child<QPushButton>(s.view.get(), "reviewDeletion")->isEnabled());

    s.view->findChild<QCheckBox*>()->click();
    QTest::mouseClick(buttonTitled(s.view.get(), "Top 10 files"), Qt::LeftButton);
    const ListedRow hidden = rowsOf(s.view.get()).back();
    EXPECT_EQ(hidden.accessibleName(), "Report only: clip.mp4");
    EXPECT_EQ(hidden.tag(), "Report only");
}

TEST(ScannerWindow, EveryToggleWorksThroughItsAccessibilityAction)
{
    const std::string tree = freshTree("toggles");
    Files::make(tree + "/film.mov", 5000);
    Files::make(tree + "/.hidden/clip.mp4", 3000);
    Scanner s(scopeOf(tree));
    s.scan();
    QWidget* w = s.view.get();
    EXPECT_EQ(checkableNames(w), (QSet<QString> {"Top 10 files", "Top 10 video & audio", "Selectable only"}));
    toggleAccessibly(w, "Top 10 video & audio");
    EXPECT_EQ(s.c->group(), "Video & audio");
    EXPECT_FALSE(checkableNamed(w, "Top 10 files")->isChecked());
    toggleAccessibly(w, "Top 10 files");
    EXPECT_EQ(s.c->group(), "All files");
    toggleAccessibly(w, "Selectable only");
    EXPECT_TRUE(s.c->onlyPersonal());
    EXPECT_EQ(s.listedNames(), std::vector<std::string> {"film.mov"});
    toggleAccessibly(w, "Selectable only");
    EXPECT_FALSE(s.c->onlyPersonal());
}

TEST(ScannerWindow, EnablingRulesFollowTheControllersState)
{
    const std::string tree = freshTree("rules");
    Files::make(tree + "/a.bin", 100);
    Scanner readOnly(scopeOf(tree, true));
    EXPECT_FALSE(child<QPushButton>(readOnly.view.get(), "verifyDisk")->isEnabled());
    readOnly.scan();
    EXPECT_FALSE(rowsOf(readOnly.view.get()).front().togglable()) << "nothing selectable in Read-Only Mode";
    rowsOf(readOnly.view.get()).front().click();
    EXPECT_TRUE(readOnly.c->selection().empty());
    EXPECT_FALSE(child<QPushButton>(readOnly.view.get(), "reviewDeletion")->isEnabled());

    Scanner active(scopeOf(tree));
    active.c->run("scan");
    EXPECT_FALSE(child<QPushButton>(active.view.get(), "scanDisk")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(active.view.get(), "changeDisk")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(active.view.get(), "verifyDisk")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(active.view.get(), "pauseScan")->isEnabled()) << "no worker yet";
    EXPECT_FALSE(child<QPushButton>(active.view.get(), "cancelScan")->isEnabled());
    EXPECT_FALSE(child(active.view.get(), "modeControl")->isEnabled());
    EXPECT_TRUE(active.view->findChild<BusyIndicator*>()->spinning());
    ASSERT_TRUE(waitUntil([&] { return !active.c->busy(); }));
    EXPECT_TRUE(child<QPushButton>(active.view.get(), "scanDisk")->isEnabled());
    EXPECT_FALSE(active.view->findChild<BusyIndicator*>()->spinning()) << "it turns only while shown";
    EXPECT_TRUE(rowsOf(active.view.get()).front().togglable());

    const std::string outside = "/tmp/tallyroom-rules-" + std::to_string(getpid());
    Files::make(outside + "/shared.bin", 10);
    Scanner shared(DiskScope(outside, false, TestHome::path() + "/Library/Application Support/tallyroom"));
    shared.authenticator.hold = true;
    shared.scan();
    EXPECT_EQ(rowsOf(shared.view.get()).front().accessibleName(), "Unlock shared.bin");
    rowsOf(shared.view.get()).front().click();
    EXPECT_TRUE(shared.c->authenticating());
    EXPECT_FALSE(child<QPushButton>(shared.view.get(), "scanDisk")->isEnabled());
    EXPECT_FALSE(rowsOf(shared.view.get()).front().togglable());
    EXPECT_TRUE(shared.view->fileList()->selectionModel()->selectedIndexes().isEmpty()) << "not selected before the answer";
    shared.authenticator.answer();
    EXPECT_EQ(rowsOf(shared.view.get()).front().tag(), "Unlocked");
    EXPECT_EQ(rowsOf(shared.view.get()).front().accessibleName(), "Select shared.bin");
    EXPECT_EQ(shared.view->fileList()->selectionModel()->selectedIndexes().size(), 1) << "the list shows the unlock";
    std::filesystem::remove_all(outside);
}

TEST(ScannerWindow, ReviewSheetListsTheSelectionAndDeletes)
{
    const std::string tree = freshTree("review");
    Files::make(tree + "/big.bin", 3000);
    Files::make(tree + "/small.bin", 1000);
    Scanner s(scopeOf(tree));
    s.scan();
    for (size_t i = 0; i < 2; ++i)
        rowsOf(s.view.get()).at(i).click();
    QTest::mouseClick(child<QPushButton>(s.view.get(), "reviewDeletion"), Qt::LeftButton);
    ASSERT_TRUE(s.c->review());
    auto* sheet = s.view->findChild<ReviewSheet*>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(showsText(sheet, "Permanently delete 2 selected files?"));
    EXPECT_TRUE(showsText(sheet, "This bypasses the Trash. Synced copies may also be removed."));
    // A plain-text view hands no-break spaces back as ordinary ones.
    EXPECT_EQ(sheet->findChild<QPlainTextEdit*>()->toPlainText().toStdString(),
              tree + "/big.bin  •  3.0 kB\n" + tree + "/small.bin  •  1.0 kB");
    QTest::mouseClick(buttonTitled(sheet, "Cancel"), Qt::LeftButton);
    EXPECT_FALSE(s.c->review());
    ASSERT_TRUE(waitUntil([&] { return s.view->findChild<ReviewSheet*>() == nullptr; }, 2000));

    s.c->setReview(true);
    sheet = s.view->findChild<ReviewSheet*>();
    QTest::mouseClick(buttonTitled(sheet, "Delete permanently"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !s.c->busy(); }));
    EXPECT_FALSE(Files::exists(tree + "/big.bin"));
    for (const ListedRow& row : rowsOf(s.view.get())) {
        EXPECT_EQ(row.tag(), "Deleted");
        EXPECT_FALSE(row.togglable());
        EXPECT_EQ(row.accessibleDescription(), "Deleted");
    }
}

TEST(ScannerWindow, FailuresBecomeAlertsAndQuitAsksDuringAScan)
{
    const std::string tree = freshTree("alerts");
    Scanner s(scopeOf(tree));
    s.c->setFailure(OperationFailure("Scan could not finish", "Because."));
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

TEST(ScannerWindow, KeyboardUsersKeepTheirPlace)
{
    const std::string tree = freshTree("keys");
    Files::make(tree + "/big.bin", 3000);
    Files::make(tree + "/small.bin", 1000);
    Scanner s(scopeOf(tree));
    s.view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(s.view.get()));
    s.scan();
    FileListView* list = s.view->fileList();
    list->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(list->currentIndex().row(), 0) << "Tab lands on the first row";
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(s.c->selection().size(), 1u);
    EXPECT_EQ(QApplication::focusWidget(), list) << "focus stays on the list";
    EXPECT_EQ(list->currentIndex().row(), 0) << "and on the row";
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentIndex().row(), 1);
    EXPECT_EQ(s.c->selection().size(), 1u) << "moving does not select";
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(s.c->selection().size(), 2u);
    EXPECT_EQ(list->selectionModel()->selectedIndexes().size(), 2);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(s.c->selection().size(), 1u) << "Space toggles";

    auto* review = child<QPushButton>(s.view.get(), "reviewDeletion");
    review->setFocus(Qt::TabFocusReason);
    QTest::keyClick(review, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return s.c->review(); }, 2000)) << "Enter clicks the focused button";
    ASSERT_TRUE(waitUntil([&] { return s.view->findChild<ReviewSheet*>() != nullptr; }, 2000));
    auto* sheet = s.view->findChild<ReviewSheet*>();
    ASSERT_TRUE(waitUntil([&] { return sheet->isVisible(); }, 2000));
    QTest::keyClick(sheet, Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return s.view->findChild<ReviewSheet*>() == nullptr; }, 2000));
    EXPECT_FALSE(s.c->review());
    EXPECT_EQ(s.view->focusWidget(), review) << "back to the control that opened the sheet";

    QTest::keyClick(review, Qt::Key_Enter);
    ASSERT_TRUE(waitUntil([&] { return s.view->findChild<ReviewSheet*>() != nullptr; }, 2000));
    QTest::mouseClick(buttonTitled(s.view->findChild<ReviewSheet*>(), "Delete permanently"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !s.c->busy() && s.view->findChild<ReviewSheet*>() == nullptr; }));
    EXPECT_FALSE(Files::exists(tree + "/big.bin"));
    EXPECT_TRUE(Files::exists(tree + "/small.bin"));
    EXPECT_EQ(s.view->focusWidget(), list) << "the spent review button passes focus to the list";
}

TEST(ScannerWindow, EveryFocusStopIsANamedControl)
{
    const std::string tree = freshTree("tabs");
    Files::make(tree + "/a.bin", 100);
    Scanner s(scopeOf(tree));
    s.scan();
    QStringList unnamed;
    int stops = 0;
    QWidget* start = child<QPushButton>(s.view.get(), "scanDisk");
    for (QWidget* w = start->nextInFocusChain(); w != start; w = w->nextInFocusChain()) {
        if (!w->isVisibleTo(s.view.get()) || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        ++stops;
        const QString name = QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        if (name.trimmed().isEmpty())
            unnamed.append(QString::fromLatin1(w->metaObject()->className()) + " " + w->objectName());
    }
    EXPECT_GT(stops, 10);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(s.view->fileList())->text(QAccessible::Name), "Largest files");
}

TEST(ScannerWindow, EveryRowKeepsItsContextMenu)
{
    const std::string tree = freshTree("menus");
    Files::make(tree + "/film_cut.mov", 100);
    Scanner s(scopeOf(tree, true));
    s.scan();
    const ListedRow row = rowsOf(s.view.get()).front();
    ASSERT_FALSE(row.togglable()) << "Read-Only Mode";
    QContextMenuEvent press(QContextMenuEvent::Mouse, row.list->visualRect(row.index).center(),
                            row.list->viewport()->mapToGlobal(row.list->visualRect(row.index).center()));
    QApplication::sendEvent(row.list->viewport(), &press);
    QMenu* menu = row.list->findChild<QMenu*>();
    ASSERT_NE(menu, nullptr) << "a row that cannot be selected still offers its menu";
    ASSERT_TRUE(waitUntil([&] { return menu->isVisible(); }, 2000));
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().front()->text(), "Show in Finder");
    QAccessibleInterface* item = QAccessible::queryAccessibleInterface(menu)->child(0);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(QAccessible::Name), "Reveal film_cut.mov");
    EXPECT_EQ(item->role(), QAccessible::MenuItem);
    item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(s.workspace.revealed, QStringList {QString::fromStdString(tree + "/film_cut.mov")});
    EXPECT_TRUE(s.c->selection().empty());
}

TEST(ScannerWindow, AScanWithoutItsWorkerSaysWhatIsBrokenAndWhatToDo)
{
    const std::string tree = freshTree("noworker");
    Files::make(tree + "/a.bin", 100);
    const std::string missing = tree + "-bundle/Contents/Helpers/delver";
    SessionDisk::setCurrent(scopeOf(tree));
    FakeAuthenticator authenticator;
    FakeApplication application;
    FakeWorkspace workspace;
    Controller c(QString::fromStdString(missing), authenticator, application);
    TallyroomView view(c, workspace, [](const std::function<void()>&) { return new QWidget; }, [](const QString&) {});
    view.show();
    QTest::mouseClick(child<QPushButton>(&view, "scanDisk"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !c.busy(); }));
    auto* alert = view.findChild<QMessageBox*>("failureAlert");
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), "Scan could not finish");
    EXPECT_EQ(alert->informativeText().toStdString(), "The scan worker is missing: " + missing
                                                          + " does not exist. The tallyroom installation is incomplete: reinstall tallyroom.");
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
    EXPECT_EQ(text->toPlainText(), c.lines().join(QLatin1Char('\n'))) << "appending keeps what the controller keeps";
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

TEST(Setup, TheModesWorkThroughTheirAccessibilityActions)
{
    DiskSetup setup([] {}, [](const DiskScope&) {});
    setup.show();
    EXPECT_EQ(checkableNames(&setup), (QSet<QString> {"Read-Only Mode", "Active Mode"}));
    toggleAccessibly(&setup, "Active Mode");
    EXPECT_FALSE(setup.readOnly());
    EXPECT_FALSE(checkableNamed(&setup, "Read-Only Mode")->isChecked());
    toggleAccessibly(&setup, "Active Mode");
    EXPECT_FALSE(setup.readOnly()) << "the chosen mode stays chosen";
    EXPECT_TRUE(checkableNamed(&setup, "Active Mode")->isChecked());
    toggleAccessibly(&setup, "Read-Only Mode");
    EXPECT_TRUE(setup.readOnly());
    EXPECT_FALSE(checkableNamed(&setup, "Active Mode")->isChecked());
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

// 700 × 500 is a 1400 × 1000 screen at twice the scale.
TEST(Shell, TheScannerWindowFitsTheScreenAndLaysOutInASmallOne)
{
    FakeAuthenticator authenticator;
    const std::string tree = freshTree("fit");
    Files::make(tree + "/a.bin", 100);
    TallyroomApp app(authenticator, DELVER);
    app.launch({});
    app.start(scopeOf(tree));
    QWidget* main = app.window("main");
    ASSERT_TRUE(waitUntil([&] { return main->height() > 425; }, 5000)) << "the scanner's size arrives";
    EXPECT_TRUE(main->screen()->availableGeometry().contains(main->frameGeometry()));
    app.controller().run("scan");
    ASSERT_TRUE(waitUntil([&] { return !app.controller().busy(); }));
    main->resize(700, 500);
    QApplication::processEvents();
    EXPECT_EQ(main->size(), QSize(700, 500));
    for (QAbstractButton* button : main->findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(main)) {
            EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString() << " is cut off";
        }
    }
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

TEST(ScannerWindow, ANewListStartsAtItsTop)
{
    const std::string tree = freshTree("list-top");
    for (int i = 0; i < 12; ++i) {
        Files::make(tree + "/clip-" + std::to_string(i) + ".mov", 1000 + i);
        Files::make(tree + "/.hidden/note-" + std::to_string(i) + ".txt", 5000 + i);
    }
    Scanner s(scopeOf(tree));
    s.view->resize(760, 520);
    s.scan();
    QScrollBar* scroll = s.view->fileList()->verticalScrollBar();
    const auto scrolledDown = [&] {
        QApplication::processEvents();
        scroll->setValue(scroll->maximum());
        return scroll->value() > 0;
    };
    ASSERT_TRUE(scrolledDown()) << "the list is longer than the window";
    s.view->findChild<QCheckBox*>()->click();
    ASSERT_TRUE(s.c->onlyPersonal());
    QApplication::processEvents();
    EXPECT_EQ(scroll->value(), 0) << "Selectable only lists other files";
    ASSERT_TRUE(scrolledDown());
    QTest::mouseClick(buttonTitled(s.view.get(), "Top 10 video && audio"), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(scroll->value(), 0) << "another group";
}
