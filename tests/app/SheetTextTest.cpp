#include "FakeApplication.h"
#include "FakeAuthenticator.h"
#include "Files.h"
#include "TestHome.h"
#include "Waiting.h"
#include "app/operations/Controller.h"
#include "app/scanner/ReviewSheet.h"
#include "app/session/SessionDisk.h"
#include "app/trash/TrashReview.h"
#include "app/trash/TrashSheet.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// Every label of the dialog, laid out as shown, has at least the height its text needs, so
// no line is cut off at the bottom.
std::vector<std::string> squeezedLabels(QDialog& dialog)
{
    dialog.show();
    QApplication::processEvents();
    std::vector<std::string> squeezed;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        const int needed = label->hasHeightForWidth() ? label->heightForWidth(label->width()) : label->sizeHint().height();
        if (label->isVisible() && label->height() < needed)
            squeezed.push_back(label->text().toStdString());
    }
    dialog.hide();
    return squeezed;
}

class SheetTextTest : public testing::TestWithParam<double> {
protected:
    void SetUp() override
    {
        saved = QApplication::font();
        QFont font = saved;
        font.setPointSizeF(GetParam());
        QApplication::setFont(font);
    }
    void TearDown() override { QApplication::setFont(saved); }

    QFont saved;
};

}

TEST_P(SheetTextTest, TheTrashSheetShowsEveryLineWhole)
{
    const std::string folder = TestHome::path() + "/sheet_text_" + std::to_string(getpid()) + "/some_long_folder_name";
    Files::make(folder + "/report_final_g_q_y.txt");
    SessionDisk::setTrashBlocked(false);
    SessionDisk::setCurrent(DiskScope(TestHome::path(), false, TestHome::path() + "/Library/Application Support/tallyroom"));
    const TrashReview ticket(VEntry {QString::fromStdString(folder + "/report_final_g_q_y.txt"), false, false, 0});
    TrashSheet sheet(ticket, QStringLiteral("Move this item to the Trash?"),
                     QStringLiteral("You can put this item back from the Trash."), nullptr);
    EXPECT_EQ(squeezedLabels(sheet), std::vector<std::string> {});
}

TEST_P(SheetTextTest, TheReviewSheetShowsEveryLineWhole)
{
    const std::string tree = TestHome::path() + "/review_text_" + std::to_string(getpid());
    Files::make(tree + "/g_q_y/report_final.pdf", 2000);
    SessionDisk::setCurrent(DiskScope(tree, false, TestHome::path() + "/Library/Application Support/tallyroom"));
    FakeAuthenticator authenticator;
    FakeApplication application;
    Controller c(DELVER, authenticator, application);
    c.run("scan");
    ASSERT_TRUE(waitUntil([&] { return !c.busy(); }));
    c.toggle(c.data()->rows.front());
    ReviewSheet sheet(c, nullptr);
    EXPECT_EQ(squeezedLabels(sheet), std::vector<std::string> {});
    auto* list = sheet.findChild<QPlainTextEdit*>();
    EXPECT_GE(list->viewport()->height(), list->fontMetrics().lineSpacing() * 2) << "room for the selection";
}

INSTANTIATE_TEST_SUITE_P(Fonts, SheetTextTest, testing::Values(10.0, 13.0));
