#include "FakeApplication.h"
#include "FakeAuthenticator.h"
#include "Files.h"
#include "TestHome.h"
#include "Waiting.h"
#include "platform/Applications.h"
#include "platform/Workspace.h"
#include "scanner/Controller.h"
#include "setup/SessionDisk.h"
#include "viewer/DiskViewer.h"
#include "viewer/OpenWithMenu.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

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

    QTest::mouseClick(buttonTitled(v.view.get(), "⟳ Spin"), Qt::LeftButton);
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
    EXPECT_FALSE(v.view->findChild<QToolButton*>()->isEnabled()) << "Save View…";
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
    QWidget* row = v.view->findChild<QWidget*>(last.path);
    ASSERT_NE(row, nullptr);
    QTest::mouseClick(row->findChild<QPushButton*>(), Qt::LeftButton);
    EXPECT_EQ(v.view->branch().graphPage(), 1) << "the entry's dot is brought onto the graph";
    EXPECT_EQ(v.view->branch().selected(), last);
    EXPECT_EQ(child(v.view.get(), "detailPath")->text(), last.path);
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
