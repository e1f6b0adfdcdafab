#include "AccessibleToggle.h"
#include "FakeApplication.h"
#include "FakeAuthenticator.h"
#include "Files.h"
#include "TestHome.h"
#include "Waiting.h"
#include "app/operations/Controller.h"
#include "app/platform/Applications.h"
#include "app/platform/Workspace.h"
#include "app/session/SessionDisk.h"
#include "app/viewer/DiskViewer.h"
#include "app/viewer/EntryDelegate.h"
#include "app/viewer/EntryList.h"
#include "app/viewer/OpenWithMenu.h"
#include "app/viewer/graph/Map3D.h"
#include "app/viewer/graph/OrbitView.h"
#include "app/viewer/model/SidebarModel.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <unistd.h>

namespace {

class FakeWorkspace : public Workspace {
public:
    QStringList revealed;
    void reveal(const QString& path) override { revealed.append(path); }
    bool open(const QString&) override { return true; }
};

class FakeApplications : public Applications {
public:
    std::optional<QString> preferred;
    QStringList all;
    QMap<QString, QString> names;
    std::optional<QString> failure;
    QStringList opened;

    std::optional<QString> defaultFor(const QString&) override { return preferred; }
    QStringList allFor(const QString&) override { return all; }
    QString displayName(const QString& application) override { return names.value(application, application); }
    std::optional<QString> open(const QString& file, const QString& application) override
    {
        opened.append(application + " " + file);
        return failure;
    }
};

QPushButton* buttonTitled(QWidget* root, const QString& text)
{
    for (QPushButton* button : root->findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    ADD_FAILURE() << "no button " << text.toStdString();
    return nullptr;
}

template <typename T = QLabel>
T* child(QWidget* root, const char* name)
{
    T* found = root->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

struct Viewer {
    FakeAuthenticator authenticator;
    FakeApplication application;
    FakeWorkspace workspace;
    FakeApplications applications;
    std::unique_ptr<Controller> c;
    std::unique_ptr<DiskViewer> view;
    QStringList opened;

    Viewer(const std::string& root, bool readOnly)
    {
        SessionDisk::setCurrent(DiskScope(root, false, TestHome::path() + "/Library/Application Support/tallyroom", readOnly));
        c = std::make_unique<Controller>(DELVER, authenticator, application);
        view = std::make_unique<DiskViewer>(*c, workspace, applications, [this](const QString& id) { opened.append(id); });
        view->resize(1050, 680);
        view->show();
        EXPECT_TRUE(waitUntil([&] { return !view->branch().loading() && !view->branch().entries().isEmpty(); }));
    }
};

EntryList* entryList(QWidget* root)
{
    return child<EntryList>(root, "entries");
}

QModelIndex rowOf(QWidget* root, const VEntry& entry)
{
    EntryList* list = entryList(root);
    return list->model()->index(list->entries().rowOf(entry.path), 0);
}

void clickRow(QWidget* root, const VEntry& entry)
{
    EntryList* list = entryList(root);
    const QModelIndex index = rowOf(root, entry);
    ASSERT_TRUE(index.isValid()) << entry.path.toStdString();
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

// Runs `open` (which shows a menu and waits in it) and hands the menu to `inspect` once it is
// up; the menu is closed afterwards.
void withMenu(const std::function<void()>& open, const std::function<void(QMenu*)>& inspect)
{
    bool inspected = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            poll.stop();
            inspect(menu);
            inspected = true;
            menu->close();
        }
    });
    poll.start(5);
    open();
    EXPECT_TRUE(inspected) << "no menu came up";
}

QAction* actionTitled(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->text() == text)
            return action;
    ADD_FAILURE() << "no action " << text.toStdString();
    return nullptr;
}

bool settledViewer(const Viewer& v)
{
    return !v.view->branch().loading();
}

std::string treeWith(const std::string& name, int files)
{
    const std::string tree = TestHome::path() + "/" + name + "-" + std::to_string(getpid());
    Files::makeFolder(tree + "/sub");
    for (int i = 1; i < files; ++i)
        Files::make(tree + "/f" + std::to_string(i) + ".txt", static_cast<size_t>(i));
    return tree;
}

}

TEST(ViewerWindow, AtTheRootAndOneFolderDown)
{
    const std::string tree = treeWith("viewer-root", 14);
    Viewer v(tree, false);
    EXPECT_FALSE(buttonTitled(v.view.get(), "Up")->isEnabled());
    EXPECT_FALSE(buttonTitled(v.view.get(), "Delete This Folder…")->isEnabled());
    EXPECT_EQ(child(v.view.get(), "location")->text().toStdString(), tree.substr(tree.rfind('/') + 1));
    EXPECT_EQ(child(v.view.get(), "pageText")->text(), "1 / 1") << "14 entries fit one page";
    EXPECT_FALSE(buttonTitled(v.view.get(), "‹")->isEnabled());
    EXPECT_FALSE(buttonTitled(v.view.get(), "›")->isEnabled());
    EXPECT_EQ(child(v.view.get(), "itemCount")->text(), "14 items");
    EXPECT_EQ(child(v.view.get(), "hint")->text(),
              "Drag to rotate • Scroll or pinch to zoom • Double-click to open • Right-click to delete");

    v.view->branch().load(VEntry {QString::fromStdString(tree + "/sub"), true, false, 0}, false, false);
    ASSERT_TRUE(waitUntil([&] { return !v.view->branch().loading(); }));
    EXPECT_TRUE(buttonTitled(v.view.get(), "Up")->isEnabled());
    EXPECT_TRUE(buttonTitled(v.view.get(), "Delete This Folder…")->isEnabled());
    EXPECT_EQ(child(v.view.get(), "location")->toolTip().toStdString(), tree + "/sub");
    EXPECT_TRUE(child(v.view.get(), "location")->text().endsWith("/sub")) << "long paths lose their head";
    QTest::mouseClick(buttonTitled(v.view.get(), "Drive"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !v.view->branch().loading(); }));
    EXPECT_EQ(v.view->branch().folder().path.toStdString(), tree);
    QTest::mouseClick(buttonTitled(v.view.get(), "Show in Finder"), Qt::LeftButton);
    EXPECT_EQ(v.workspace.revealed, QStringList {QString::fromStdString(tree)});
    QTest::mouseClick(buttonTitled(v.view.get(), "Close View, back to Tallyroom"), Qt::LeftButton);
    EXPECT_EQ(v.opened, QStringList {"main"});
}

TEST(ViewerWindow, PagingFindAndModes)
{
    const std::string tree = treeWith("viewer-pages", 15);
    Viewer v(tree, false);
    EXPECT_EQ(child(v.view.get(), "pageText")->text(), "1 / 2");
    EXPECT_FALSE(buttonTitled(v.view.get(), "‹")->isEnabled());
    EXPECT_TRUE(buttonTitled(v.view.get(), "›")->isEnabled());
    QTest::mouseClick(buttonTitled(v.view.get(), "›"), Qt::LeftButton);
    EXPECT_EQ(v.view->branch().page(), 1);
    QTest::keyClicks(child<QLineEdit>(v.view.get(), "find"), "f1");
    EXPECT_EQ(v.view->branch().page(), 0) << "typing returns to the first page";
    EXPECT_EQ(v.view->branch().needle(), "f1");

    QTest::mouseClick(buttonTitled(v.view.get(), "Spin"), Qt::LeftButton);
    EXPECT_TRUE(v.view->branch().spin());
    EXPECT_TRUE(child(v.view.get(), "hint")->text().startsWith("Spin: drag in an arc"));
    QTest::mouseClick(buttonTitled(v.view.get(), "Hand"), Qt::LeftButton);
    EXPECT_TRUE(v.view->branch().hand());
    EXPECT_FALSE(v.view->branch().spin()) << "hand and spin exclude each other";
    QTest::mouseClick(buttonTitled(v.view.get(), "Modify"), Qt::LeftButton);
    EXPECT_TRUE(v.view->branch().modView());
    EXPECT_FALSE(v.view->branch().hand());
    EXPECT_EQ(child(v.view.get(), "legend")->text(),
              "Teal: folders   Orange: files   Purple: links   •   Outer dots preview up to three children per folder.");

    v.c->setReadOnly(true);
    EXPECT_FALSE(v.view->branch().modView()) << "Read-Only turns Modify off";
    EXPECT_FALSE(buttonTitled(v.view.get(), "Modify")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(v.view.get(), "saveView")->isEnabled()) << "Save View…";
}

TEST(ViewerWindow, ManyEntriesPageTheGraph)
{
    const std::string tree = treeWith("viewer-graph", 201);
    Viewer v(tree, false);
    v.view->branch().setFull(true);
    EXPECT_EQ(v.view->branch().visible().size(), 201);
    EXPECT_EQ(child(v.view.get(), "graphText")->text(), "Graph 1 of 2");
    EXPECT_TRUE(child(v.view.get(), "graphText")->isVisibleTo(v.view.get()));
    EXPECT_EQ(child(v.view.get(), "legend")->text(),
              "Folder names are shown. Select any dot or sidebar entry for its full name and path.");
    const VEntry last = v.view->branch().visible().last();
    clickRow(v.view.get(), last);
    EXPECT_EQ(v.view->branch().graphPage(), 1) << "the entry's dot is brought onto the graph";
    EXPECT_EQ(v.view->branch().selected(), last);
    EXPECT_EQ(child(v.view.get(), "detailPath")->text(), last.path);
}

TEST(ViewerWindow, ASavedViewPutsTheCameraOnScreenAtItsPose)
{
    const std::string tree = treeWith("viewer-saved", 5);
    Viewer v(tree, false);
    OrbitView& orbit = v.view->findChild<Map3D*>()->view();
    orbit.moveTo(EyePose {-1.35f, -0.12f, 20.05f, Shift3 {0.5, -1, 2}});
    const EyePose saved = v.view->branch().pose();
    EXPECT_FALSE(buttonTitled(v.view.get(), "View1")->isEnabled());
    withMenu([&] { QTest::mouseClick(child<QPushButton>(v.view.get(), "saveView"), Qt::LeftButton); },
             [&](QMenu* menu) { actionTitled(menu, "Save to View1")->trigger(); });
    EXPECT_EQ(v.view->branch().notice().toStdString(), "Saved View1 • " + tree);
    ASSERT_TRUE(buttonTitled(v.view.get(), "View1")->isEnabled());

    QTest::mouseClick(buttonTitled(v.view.get(), "Reset View"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return settledViewer(v); }));
    EXPECT_EQ(orbit.camera().pose(), (EyePose {0, 0.42f, 26, Shift3 {0, 0, 0}})) << "the reset puts the camera back";
    QTest::mouseClick(buttonTitled(v.view.get(), "View1"), Qt::LeftButton);
    EXPECT_TRUE(v.view->branch().notice().startsWith("Restored View1"));
    ASSERT_TRUE(waitUntil([&] { return settledViewer(v); }));
    const EyePose shown = orbit.camera().pose();
    EXPECT_FLOAT_EQ(shown.yaw, saved.yaw);
    EXPECT_FLOAT_EQ(shown.pitch, saved.pitch);
    EXPECT_FLOAT_EQ(shown.radius, saved.radius);
    EXPECT_EQ(shown.pan, saved.pan) << "the saved focus is in place";

    withMenu([&] { emit buttonTitled(v.view.get(), "View1")->customContextMenuRequested({2, 2}); },
             [&](QMenu* menu) { actionTitled(menu, "Clear View")->trigger(); });
    EXPECT_FALSE(buttonTitled(v.view.get(), "View1")->isEnabled()) << "a cleared slot cannot be restored";
}

TEST(ViewerWindow, ReadOnlyRestoresButNeitherClearsNorOffersRowActions)
{
    const std::string tree = treeWith("viewer-readonly", 3);
    {
        Viewer writable(tree, false);
        writable.view->branch().saveView(2);
    }
    Viewer v(tree, true);
    EXPECT_TRUE(buttonTitled(v.view.get(), "View2")->isEnabled()) << "restoring works in Read-Only Mode";
    EXPECT_FALSE(child<QPushButton>(v.view.get(), "saveView")->isEnabled());
    withMenu([&] { emit buttonTitled(v.view.get(), "View2")->customContextMenuRequested({2, 2}); },
             [&](QMenu* menu) { EXPECT_FALSE(actionTitled(menu, "Clear View")->isEnabled()); });
    const VEntry file = v.view->branch().visible().last();
    withMenu([&] { entryList(v.view.get())->requestMenu(rowOf(v.view.get(), file).row()); },
             [&](QMenu* menu) {
                 EXPECT_FALSE(actionTitled(menu, "Open With")->isEnabled());
                 EXPECT_TRUE(actionTitled(menu, "Show in Finder")->isEnabled());
                 EXPECT_FALSE(actionTitled(menu, "Delete…")->isEnabled());
             });
    QTest::mouseClick(buttonTitled(v.view.get(), "View2"), Qt::LeftButton);
    EXPECT_TRUE(v.view->branch().notice().startsWith("Restored View2"));
}

TEST(ViewerWindow, ShowHiddenRereadsAndRefreshWaitsForTheRead)
{
    const std::string tree = treeWith("viewer-hidden", 2);
    Files::make(tree + "/.secret");
    Viewer v(tree, false);
    EXPECT_EQ(v.view->branch().entries().size(), 2);
    auto* hidden = v.view->findChild<QCheckBox*>();
    hidden->click();
    EXPECT_TRUE(v.view->branch().loading()) << "the folder is read again";
    EXPECT_FALSE(buttonTitled(v.view.get(), "Refresh View")->isEnabled()) << "not while reading";
    ASSERT_TRUE(waitUntil([&] { return settledViewer(v); }));
    EXPECT_EQ(v.view->branch().entries().size(), 3);
    EXPECT_TRUE(buttonTitled(v.view.get(), "Refresh View")->isEnabled());
    v.view->branch().setSelected(v.view->branch().entries().first());
    QTest::mouseClick(buttonTitled(v.view.get(), "Refresh View"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return settledViewer(v) && v.view->branch().selected(); }));
    EXPECT_EQ(v.view->branch().selected(), v.view->branch().entries().first()) << "the layout is kept";
}

TEST(ViewerWindow, DisplaySegmentsGraphPagesAndFindResetBothPages)
{
    const std::string tree = treeWith("viewer-display", 401);
    Viewer v(tree, false);
    v.view->branch().setFull(false);
    auto* paged = buttonTitled(v.view.get(), "Paged-View");
    auto* full = buttonTitled(v.view.get(), "Full-View");
    EXPECT_EQ(child<QWidget>(v.view.get(), "display")->accessibleName(), "Display");
    EXPECT_EQ(full->accessibleName(), "Full-View");
    EXPECT_TRUE(paged->isChecked());
    QTest::mouseClick(full, Qt::LeftButton);
    EXPECT_TRUE(v.view->branch().fullView());
    EXPECT_FALSE(paged->isChecked());
    EXPECT_EQ(child(v.view.get(), "graphText")->text(), "Graph 1 of 3");
    EXPECT_FALSE(buttonTitled(v.view.get(), "Previous graph")->isEnabled());
    QTest::mouseClick(buttonTitled(v.view.get(), "Next graph"), Qt::LeftButton);
    QTest::mouseClick(buttonTitled(v.view.get(), "Next graph"), Qt::LeftButton);
    EXPECT_EQ(v.view->branch().graphPage(), 2);
    EXPECT_FALSE(buttonTitled(v.view.get(), "Next graph")->isEnabled());
    QTest::mouseClick(buttonTitled(v.view.get(), "Previous graph"), Qt::LeftButton);
    EXPECT_EQ(child(v.view.get(), "graphText")->text(), "Graph 2 of 3");
    QLabel* badge = child(v.view.get(), "badge");
    QApplication::processEvents();
    EXPECT_GE(badge->height(), badge->heightForWidth(badge->width())) << "the badge is whole beside the graph pager";

    QTest::keyClicks(child<QLineEdit>(v.view.get(), "find"), "f");
    EXPECT_EQ(v.view->branch().graphPage(), 0) << "typing returns the graph to its first page";
    QTest::mouseClick(paged, Qt::LeftButton);
    EXPECT_FALSE(v.view->branch().fullView());
    QTest::mouseClick(buttonTitled(v.view.get(), "›"), Qt::LeftButton);
    EXPECT_EQ(v.view->branch().page(), 1);
    QTest::keyClicks(child<QLineEdit>(v.view.get(), "find"), "1");
    EXPECT_EQ(v.view->branch().page(), 0) << "and the list to its first page";
}

TEST(ViewerWindow, TheLegendSwitchesAtSixtyOneEntries)
{
    const std::string tree = treeWith("viewer-legend", 61);
    Viewer v(tree, false);
    v.view->branch().setFull(true);
    ASSERT_EQ(v.view->branch().visible().size(), 61);
    EXPECT_TRUE(child(v.view.get(), "legend")->text().startsWith("Folder names are shown."));
    QTest::keyClicks(child<QLineEdit>(v.view.get(), "find"), "f");
    ASSERT_EQ(v.view->branch().visible().size(), 60) << "the folder \"sub\" is left out";
    EXPECT_TRUE(child(v.view.get(), "legend")->text().startsWith("Teal: folders"));
}

TEST(ViewerWindow, LongNamesAndPathsGiveWayButTheFolderNameStays)
{
    const std::string tree = treeWith("viewer-long", 1);
    const std::string deep = tree + "/a folder with a rather long name/and another one/the open folder";
    const std::string name = "a file name of forty-eight characters, or so.txt";
    Files::make(deep + "/" + name);
    Viewer v(tree, false);
    v.view->branch().load(VEntry {QString::fromStdString(deep), true, false, 0}, false, false);
    ASSERT_TRUE(waitUntil([&] { return settledViewer(v) && !v.view->branch().entries().isEmpty(); }));
    QLabel* location = child(v.view.get(), "location");
    QApplication::processEvents();

    EXPECT_TRUE(location->text().startsWith("…")) << location->text().toStdString();
    EXPECT_TRUE(location->text().endsWith("/the open folder")) << location->text().toStdString();
    EXPECT_LE(location->fontMetrics().horizontalAdvance(location->text()), location->contentsRect().width());
    EXPECT_EQ(location->toolTip().toStdString(), deep);
    const QString before = location->text();
    v.view->window()->resize(v.view->window()->width() + 600, v.view->window()->height());
    QApplication::processEvents();
    EXPECT_GT(location->text().size(), before.size()) << "a wider window shows more of the path";

    EntryList* list = entryList(v.view.get());
    const VEntry file = v.view->branch().visible().first();
    const QModelIndex index = rowOf(v.view.get(), file);
    EXPECT_LE(list->visualRect(index).right(), list->viewport()->width()) << "the row stays inside the sidebar";
    EXPECT_EQ(index.data(Qt::ToolTipRole).toString(), file.path);
    clickRow(v.view.get(), file);
    EXPECT_EQ(child(v.view.get(), "detailPath")->text(), file.path) << "the details give the whole name";
}

TEST(ViewerWindow, KeysCloseGoUpOpenAndTurnTheMap)
{
    const std::string tree = treeWith("viewer-keys", 3);
    Files::make(tree + "/sub/inside.txt");
    Viewer v(tree, false);
    QWidget* window = v.view->window();
    QApplication::setActiveWindow(window);
    EntryList* list = entryList(v.view.get());
    list->setFocus();
    list->setCurrentIndex(list->model()->index(0, 0));
    EXPECT_EQ(v.view->branch().selected()->path.toStdString(), tree + "/sub") << "the current row is selected";
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return settledViewer(v) && !v.view->branch().entries().isEmpty(); }));
    EXPECT_EQ(v.view->branch().folder().path.toStdString(), tree + "/sub") << "Enter opens the folder";
    QTest::keyClick(list, Qt::Key_Backspace);
    ASSERT_TRUE(waitUntil([&] { return settledViewer(v); }));
    EXPECT_EQ(v.view->branch().folder().path.toStdString(), tree) << "Backspace goes up";
    v.view->branch().load(VEntry {QString::fromStdString(tree + "/sub"), true, false, 0}, false, false);
    ASSERT_TRUE(waitUntil([&] { return settledViewer(v); }));
    QTest::keyClick(list, Qt::Key_Up, Qt::AltModifier);
    ASSERT_TRUE(waitUntil([&] { return settledViewer(v); }));
    EXPECT_EQ(v.view->branch().folder().path.toStdString(), tree) << "Alt+Up goes up";

    auto* find = child<QLineEdit>(v.view.get(), "find");
    find->setFocus();
    QTest::keyClicks(find, "ab");
    QTest::keyClick(find, Qt::Key_Backspace);
    EXPECT_EQ(find->text(), "a") << "Backspace still edits the find field";
    EXPECT_EQ(v.view->branch().folder().path.toStdString(), tree);

    OrbitView& orbit = v.view->findChild<Map3D*>()->view();
    for (int tabs = 0; tabs < 60 && QApplication::focusWidget() != &orbit; ++tabs)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), &orbit) << "Tab reaches the map";
    const EyePose before = orbit.camera().pose();
    QTest::keyClick(&orbit, Qt::Key_Left);
    EXPECT_NE(orbit.camera().yaw, before.yaw);
    QTest::keyClick(&orbit, Qt::Key_Up);
    EXPECT_GT(orbit.camera().pitch, before.pitch);
    QTest::keyClick(&orbit, Qt::Key_Plus);
    EXPECT_LT(orbit.camera().radius, before.radius);
    QTest::keyClick(&orbit, Qt::Key_Minus);
    QTest::keyClick(&orbit, Qt::Key_Minus);
    EXPECT_GT(orbit.camera().radius, before.radius);
    EXPECT_EQ(v.view->branch().pose(), orbit.camera().pose()) << "the model keeps the pose";

    QTest::keyClick(&orbit, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible()) << "Escape closes the viewer";
}

TEST(ViewerWindow, EveryFocusStopAndRowHasAName)
{
    const std::string tree = treeWith("viewer-names", 3);
    Viewer v(tree, false);
    QWidget* first = v.view->nextInFocusChain();
    QWidget* stop = first;
    do {
        if (stop->isVisibleTo(v.view.get()) && stop->focusPolicy() & Qt::TabFocus && v.view->isAncestorOf(stop)) {
            QAccessibleInterface* named = QAccessible::queryAccessibleInterface(stop);
            EXPECT_FALSE(named->text(QAccessible::Name).trimmed().isEmpty()) << stop->metaObject()->className();
            EXPECT_FALSE(named->text(QAccessible::Name).contains(QChar(0x27f3))) << "no glyphs in names";
        }
        stop = stop->nextInFocusChain();
    } while (stop != first);

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(entryList(v.view.get()));
    ASSERT_EQ(list->childCount(), 3);
    QAccessibleInterface* folder = list->child(0);
    EXPECT_EQ(folder->role(), QAccessible::ListItem);
    EXPECT_EQ(folder->text(QAccessible::Name), "sub");
    EXPECT_EQ(folder->text(QAccessible::Description).toStdString(), tree + "/sub");
    ASSERT_EQ(folder->childCount(), 1);
    QAccessibleInterface* open = folder->child(0);
    EXPECT_EQ(open->text(QAccessible::Name), "Open sub");
    EXPECT_EQ(list->child(1)->childCount(), 0) << "files have no Open button";
    folder->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(v.view->branch().selected()->path.toStdString(), tree + "/sub") << "pressing a row selects it";
    open->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitUntil([&] { return settledViewer(v); }));
    EXPECT_EQ(v.view->branch().folder().path.toStdString(), tree + "/sub");
}

TEST(ViewerWindow, OpensWithinTheScreen)
{
    const std::string tree = treeWith("viewer-screen", 2);
    Viewer v(tree, false);
    const QRect free = v.view->screen()->availableGeometry();
    EXPECT_LE(v.view->window()->frameGeometry().width(), free.width());
    EXPECT_LE(v.view->window()->frameGeometry().height(), free.height());
}

// Paints one row into an image larger than the row and looks for ink outside it.
bool rowDrawnWhole(const QFont& font, qreal scale)
{
    SessionDisk::setCurrent(DiskScope(TestHome::path(), false, TestHome::path() + "/Data", false));
    QStandardItemModel model;
    auto* item = new QStandardItem(QStringLiteral("gjpqy_Wg"));
    item->setData(SidebarModel::file, SidebarModel::KindRole);
    item->setData(false, SidebarModel::OpensRole);
    model.appendRow(item);
    EntryDelegate delegate;
    QStyleOptionViewItem option;
    option.font = font;
    option.fontMetrics = QFontMetrics(font);
    option.palette.setColor(QPalette::Text, Qt::black);
    option.state = QStyle::State_Enabled;
    const QSize size = delegate.sizeHint(option, model.index(0, 0));
    option.rect = QRect(QPoint(20, 20), QSize(200, size.height()));
    QImage image(QSize(240, size.height() + 40) * scale, QImage::Format_ARGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        delegate.paint(&painter, option, model.index(0, 0));
    }
    const QRect row(option.rect.topLeft() * scale, option.rect.size() * scale);
    bool inked = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const bool ink = qGray(image.pixel(x, y)) < 200;
            if (ink && !row.contains(x, y))
                return false;
            inked = inked || ink;
        }
    // The name's descenders reach below the middle of the row, and the row holds them.
    return inked && EntryDelegate::textRect(option, model.index(0, 0)).height() >= option.fontMetrics.height();
}

TEST(EntryDelegate, DrawsNamesWholeAtEitherScaleAndALargerFont)
{
    QFont normal = QApplication::font();
    EXPECT_TRUE(rowDrawnWhole(normal, 1));
    EXPECT_TRUE(rowDrawnWhole(normal, 2));
    QFont large = normal;
    large.setPointSize(13);
    EXPECT_TRUE(rowDrawnWhole(large, 1));
    EXPECT_TRUE(rowDrawnWhole(large, 2));
}

TEST(OpenWithMenu, DefaultFirstThenByNameOnce)
{
    FakeApplications apps;
    apps.preferred = "/apps/b.desktop";
    apps.all = {"/apps/./b.desktop", "/apps/z.desktop", "/apps/a.desktop", "/apps//a.desktop", "/apps/y.desktop"};
    apps.names = {{"/apps/b.desktop", "Bee"}, {"/apps/z.desktop", "Same"}, {"/apps/a.desktop", "Same"}, {"/apps/y.desktop", "Alpha 10"}};
    const auto choices = OpenWithMenu::applicationsFor("/f.txt", apps);
    EXPECT_EQ(choices.preferred, "/apps/b.desktop");
    EXPECT_EQ(choices.others, (QStringList {"/apps/y.desktop", "/apps/a.desktop", "/apps/z.desktop"}));

    // Numbers by their value, as in the folder listing, whatever the locale.
    const QLocale locale;
    QLocale::setDefault(QLocale::c());
    FakeApplications numbered;
    numbered.all = {"/apps/ten.desktop", "/apps/nine.desktop", "/apps/upper.desktop"};
    numbered.names = {{"/apps/ten.desktop", "alpha 10"}, {"/apps/nine.desktop", "alpha 9"}, {"/apps/upper.desktop", "Alpha 9b"}};
    EXPECT_EQ(OpenWithMenu::applicationsFor("/f.txt", numbered).others,
              (QStringList {"/apps/nine.desktop", "/apps/upper.desktop", "/apps/ten.desktop"}));
    QLocale::setDefault(locale);

    const std::string root = TestHome::path() + "/openwith";
    Files::makeFolder(root);
    SessionDisk::setCurrent(DiskScope(root, false, TestHome::path() + "/Data", true));
    QString reported;
    OpenWithMenu menu("/x/f.txt", apps, [&](const QString& text) { reported = text; });
    EXPECT_EQ(menu.actions().first()->text(), "Bee (Default)");
    EXPECT_EQ(menu.actions().last()->text(), "Other…");
    menu.openUsing("/apps/y.desktop");
    EXPECT_TRUE(apps.opened.isEmpty()) << "nothing opens in Read-Only Mode";

    SessionDisk::setCurrent(DiskScope(root, false, TestHome::path() + "/Data", false));
    apps.failure = "No such program";
    menu.openUsing("/apps/y.desktop");
    EXPECT_EQ(apps.opened, QStringList {"/apps/y.desktop /x/f.txt"});
    EXPECT_EQ(reported, "Could not open f.txt: No such program");

    FakeApplications none;
    OpenWithMenu only("/x/f.txt", none, [](const QString&) {});
    ASSERT_EQ(only.actions().size(), 1);
    EXPECT_EQ(only.actions().first()->text(), "Other…");
}

TEST(ViewerWindow, ANarrowWindowSqueezesNoControlOverAnother)
{
    const std::string tree = treeWith("viewer-narrow", 3);
    Viewer v(tree, false);
    v.view->resize(700, 500);
    QApplication::processEvents();
    EXPECT_EQ(v.view->width(), 700) << "the window lays out down to a small screen";
    for (QPushButton* button : v.view->findChildren<QPushButton*>()) {
        if (button->isVisibleTo(v.view.get())) {
            // Buttons made narrow on purpose (the page arrows) keep their own width.
            EXPECT_GE(button->width(), std::min(button->minimumSizeHint().width(), button->maximumWidth()))
                << button->accessibleName().toStdString() << " " << button->text().toStdString();
        }
    }
}

TEST(ViewerWindow, EveryToggleWorksThroughItsAccessibilityAction)
{
    const std::string tree = treeWith("viewer-toggles", 3);
    Files::make(tree + "/.hidden.txt", 1);
    Viewer v(tree, false);
    QWidget* w = v.view.get();
    const Branch& b = v.view->branch();
    EXPECT_EQ(checkableNames(w), (QSet<QString> {"Paged-View", "Full-View", "Hand", "Spin", "Modify", "Show hidden"}));

    toggleAccessibly(w, "Full-View");
    EXPECT_TRUE(b.fullView());
    EXPECT_FALSE(checkableNamed(w, "Paged-View")->isChecked());
    toggleAccessibly(w, "Full-View");
    EXPECT_TRUE(b.fullView()) << "one segment always stays on";
    toggleAccessibly(w, "Paged-View");
    EXPECT_FALSE(b.fullView());
    EXPECT_FALSE(checkableNamed(w, "Full-View")->isChecked());

    toggleAccessibly(w, "Hand");
    EXPECT_TRUE(b.hand());
    toggleAccessibly(w, "Spin");
    EXPECT_TRUE(b.spin());
    EXPECT_FALSE(b.hand());
    EXPECT_FALSE(checkableNamed(w, "Hand")->isChecked());
    toggleAccessibly(w, "Modify");
    EXPECT_TRUE(b.modView());
    EXPECT_FALSE(checkableNamed(w, "Spin")->isChecked());
    toggleAccessibly(w, "Modify");
    EXPECT_FALSE(b.modView());

    toggleAccessibly(w, "Show hidden");
    EXPECT_TRUE(b.hidden());
    ASSERT_TRUE(waitUntil([&] { return settledViewer(v) && b.entries().size() == 4; })) << "the folder is read again";
    toggleAccessibly(w, "Show hidden");
    EXPECT_FALSE(b.hidden());
    ASSERT_TRUE(waitUntil([&] { return settledViewer(v) && b.entries().size() == 3; }));
    EXPECT_FALSE(checkableNamed(w, "Show hidden")->isChecked());
}

TEST(ViewerWindow, ANarrowWindowWrapsItsRowsSoEveryControlStaysInView)
{
    Viewer v(treeWith("viewer-wrap", 3), false);
    const QStringList titles {"Drive", "Up", "Close View, back to Tallyroom", "Show in Finder", "Delete This Folder…",
                              "Refresh View", "Reset View", "Paged-View", "Full-View", "Hand", "Spin", "Modify",
                              "View1", "View2", "View3", "Save View…"};
    for (int width : {1050, 700}) {
        v.view->resize(width, 560);
        QApplication::processEvents();
        QList<QRect> placed;
        for (const QString& title : titles) {
            QPushButton* button = buttonTitled(v.view.get(), title);
            ASSERT_NE(button, nullptr);
            const QRect at(button->mapTo(v.view.get(), QPoint(0, 0)), button->size());
            EXPECT_TRUE(button->isVisible() && v.view->rect().contains(at)) << title.toStdString() << " at " << width;
            for (const QRect& other : placed)
                EXPECT_FALSE(at.intersects(other)) << title.toStdString() << " overlaps at " << width;
            placed.append(at);
        }
    }
    for (QScrollBar* bar : v.view->findChildren<QScrollBar*>())
        EXPECT_FALSE(bar->orientation() == Qt::Horizontal && bar->isVisible()) << "nothing scrolls sideways";
}

TEST(ViewerWindow, F5RefreshesTheFolderAndCtrlWClosesTheWindow)
{
    const std::string tree = treeWith("viewer-f5", 2);
    Viewer v(tree, false);
    QWidget* window = v.view->window();
    QApplication::setActiveWindow(window);
    EntryList* list = entryList(v.view.get());
    list->setFocus();
    ASSERT_TRUE(waitUntil([&] { return settledViewer(v); }));
    const qsizetype before = v.view->branch().entries().size();
    Files::make(tree + "/added.txt");
    QTest::keyClick(list, Qt::Key_F5);
    ASSERT_TRUE(waitUntil([&] { return settledViewer(v) && v.view->branch().entries().size() == before + 1; }))
        << "F5 reloads the folder";
    QTest::keyClick(list, Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(window->isVisible()) << "Ctrl+W closes the viewer";
}
