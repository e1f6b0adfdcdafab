#include "FakeApplication.h"
#include "FakeAuthenticator.h"
#include "Files.h"
#include "TestHome.h"
#include "Waiting.h"
#include "app/operations/Controller.h"
#include "app/scanner/FileListModel.h"
#include "app/session/SessionDisk.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// A scanned tree and the list model over its controller.
class FileListModelTest : public testing::Test {
protected:
    void scan(bool readOnly = false)
    {
        SessionDisk::setCurrent(DiskScope(tree, false, TestHome::path() + "/Library/Application Support/tallyroom", readOnly));
        controller = std::make_unique<Controller>(DELVER, authenticator, application);
        model = std::make_unique<FileListModel>(*controller);
        controller->run("scan");
        ASSERT_TRUE(waitUntil([&] { return !controller->busy(); }));
    }

    std::vector<std::string> names() const
    {
        std::vector<std::string> shown;
        for (int i = 0; i < model->rowCount(); ++i)
            shown.push_back(model->index(i).data().toString().toStdString());
        return shown;
    }

    bool togglable(int row) const { return model->index(row).flags().testFlag(Qt::ItemIsSelectable); }

    std::string tree = TestHome::path() + "/list-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    FakeAuthenticator authenticator;
    FakeApplication application;
    std::unique_ptr<Controller> controller;
    std::unique_ptr<FileListModel> model;
    static inline int counter = 0;
};

}

TEST_F(FileListModelTest, ListsTheGroupLargestFirstAndKeepsTheScansOrderForEqualSizes)
{
    Files::make(tree + "/small.mov", 1000);
    Files::make(tree + "/big.txt", 9000);
    Files::make(tree + "/same-a.bin", 5000);
    Files::make(tree + "/same-b.bin", 5000);
    Files::make(tree + "/.hidden/clip.mp4", 7000);
    scan();
    ASSERT_EQ(model->rowCount(), 5);
    EXPECT_EQ(names().front(), "big.txt");
    EXPECT_EQ(names().back(), "small.mov");
    const std::vector<Row> listed = FileListModel::listedRows(*controller);
    std::vector<std::string> equal;
    for (const Row& scanned : controller->data()->rows)
        if (scanned.bytes == 5000)
            equal.push_back(scanned.raw);
    EXPECT_EQ(listed[2].raw, equal[0]) << "equal sizes keep the scan's order";
    EXPECT_EQ(listed[3].raw, equal[1]);

    controller->setGroup("Video & audio");
    EXPECT_EQ(names(), (std::vector<std::string> {"clip.mp4", "small.mov"}));
    controller->setOnlyPersonal(true);
    EXPECT_EQ(names(), std::vector<std::string> {"small.mov"}) << "\"Selectable: Video & audio\"";
}

TEST_F(FileListModelTest, RowsSayWhatTheyAreAndWhatAClickDoes)
{
    Files::make(tree + "/film.mov", 5000);
    Files::make(tree + "/.hidden/clip.mp4", 3000);
    scan();
    const QModelIndex film = model->index(0);
    const QModelIndex clip = model->index(1);
    EXPECT_EQ(film.data(Qt::AccessibleTextRole), "Select film.mov");
    EXPECT_EQ(film.data(Qt::AccessibleDescriptionRole), "Not selected");
    EXPECT_EQ(film.data(FileListModel::PathRole).toString().toStdString(), tree + "/film.mov");
    EXPECT_EQ(film.data(Qt::ToolTipRole), film.data(FileListModel::PathRole));
    EXPECT_EQ(film.data(FileListModel::SizeRole), QString("5.0\u00a0kB"));
    EXPECT_EQ(film.data(FileListModel::TagRole), "");
    EXPECT_EQ(model->kind(0), FileListModel::Kind::Selectable);
    EXPECT_EQ(clip.data(Qt::AccessibleTextRole), "Report only: clip.mp4");
    EXPECT_EQ(clip.data(FileListModel::TagRole), "Report only");
    EXPECT_EQ(model->kind(1), FileListModel::Kind::ReportOnly);
    EXPECT_TRUE(togglable(0));
    EXPECT_TRUE(togglable(1)) << "a click on a report-only row explains why it stays unselected";
    EXPECT_TRUE(film.flags().testFlag(Qt::ItemIsEnabled));
}

TEST_F(FileListModelTest, ChangesOfStateUpdateRowsInPlace)
{
    Files::make(tree + "/a.bin", 3000);
    Files::make(tree + "/b.bin", 2000);
    scan();
    QSignalSpy resets(model.get(), &QAbstractItemModel::modelReset);
    QSignalSpy changes(model.get(), &QAbstractItemModel::dataChanged);
    controller->toggle(model->rowAt(1));
    EXPECT_EQ(resets.size(), 0);
    ASSERT_EQ(changes.size(), 1) << "only the toggled row";
    EXPECT_EQ(changes[0][0].value<QModelIndex>().row(), 1);
    EXPECT_EQ(model->index(1).data(FileListModel::SelectedRole), true);
    EXPECT_EQ(model->index(1).data(Qt::AccessibleDescriptionRole), "Selected");

    changes.clear();
    controller->setStatus("Something happened.");
    EXPECT_EQ(changes.size(), 0) << "nothing the rows show changed";

    controller->run("delete");
    EXPECT_FALSE(togglable(0)) << "busy";
    EXPECT_EQ(changes.size(), 2) << "every row, as none may be toggled now";
    ASSERT_TRUE(waitUntil([&] { return !controller->busy(); }));
    EXPECT_EQ(resets.size(), 0) << "deleted rows stay listed";
    EXPECT_EQ(model->index(1).data(FileListModel::TagRole), "Deleted");
    EXPECT_EQ(model->index(1).data(Qt::AccessibleDescriptionRole), "Deleted");
    EXPECT_FALSE(togglable(1));
    EXPECT_TRUE(togglable(0));
    EXPECT_TRUE(model->index(1).flags().testFlag(Qt::ItemIsEnabled)) << "a deleted row keeps its context menu";

    controller->setGroup("Video & audio");
    EXPECT_EQ(resets.size(), 1);
    EXPECT_EQ(model->rowCount(), 0);
}

TEST_F(FileListModelTest, NothingIsTogglableInReadOnlyMode)
{
    Files::make(tree + "/a.bin", 3000);
    scan(true);
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_FALSE(togglable(0));
    EXPECT_TRUE(model->index(0).flags().testFlag(Qt::ItemIsEnabled));
}

TEST_F(FileListModelTest, AnotherGroupOrSelectableOnlyIsANewListASelectionIsNot)
{
    Files::make(tree + "/film.mov", 5000);
    Files::make(tree + "/notes.txt", 4000);
    scan();
    QSignalSpy replaced(model.get(), &FileListModel::listReplaced);
    controller->toggle(model->rowAt(0));
    controller->setGroup("Video & audio");
    EXPECT_EQ(replaced.count(), 1);
    controller->setOnlyPersonal(true);
    EXPECT_EQ(replaced.count(), 2) << "the same rows, listed by another choice, still start a new list";
    controller->setOnlyPersonal(true);
    controller->toggle(model->rowAt(0));
    EXPECT_EQ(replaced.count(), 2);
}
