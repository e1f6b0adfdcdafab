#include "Files.h"
#include "TempFolder.h"
#include "Waiting.h"
#include "app/about/AboutDetail.h"
#include "app/about/SourceDocument.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<SourceDocument> load(const std::string& path)
{
    auto document = std::make_unique<SourceDocument>([path] { return QString::fromStdString(path); });
    waitUntil([&] { return !document->text().isEmpty(); });
    return document;
}

}

TEST(SourceDocument, ShowsTheResourceReadOnly)
{
    TempFolder folder;
    Files::write(folder / "Tallyroom Source.txt", "int main() { return 0; } // “quoted” ✓\n");
    auto document = load(folder / "Tallyroom Source.txt");
    EXPECT_EQ(document->text(), "int main() { return 0; } // “quoted” ✓\n");
    EXPECT_TRUE(document->findChild<QPlainTextEdit*>()->isReadOnly());
}

TEST(SourceDocument, AMissingOrUndecodableResourceShowsWhy)
{
    TempFolder folder;
    EXPECT_EQ(load(folder / "Tallyroom Source.txt")->text(),
              "The file “Tallyroom Source.txt” couldn’t be opened because there is no such file.");
    Files::write(folder / "Tallyroom Source.txt", "ok \xff\xfe broken");
    EXPECT_EQ(load(folder / "Tallyroom Source.txt")->text(),
              "The file “Tallyroom Source.txt” couldn’t be opened using text encoding Unicode (UTF-8).");
}

TEST(SourceDocument, TheFindBarSelectsTheNextMatchAndWraps)
{
    TempFolder folder;
    Files::write(folder / "source.txt", "alpha\nbeta\nalpha\n");
    auto document = load(folder / "source.txt");
    document->show();
    QApplication::setActiveWindow(document.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(document.get()));
    auto* field = document->findChild<QLineEdit*>("findField");
    EXPECT_TRUE(field->isHidden());
    QTest::keySequence(document.get(), QKeySequence::Find);
    EXPECT_FALSE(field->isHidden());
    field->setText("alpha");
    const auto* text = document->findChild<QPlainTextEdit*>();
    QList<int> found;
    for (int step = 0; step < 3; ++step) {
        QTest::keyClick(field, Qt::Key_Return);
        found.append(text->textCursor().selectionStart());
    }
    EXPECT_EQ(found, (QList<int> {0, 11, 0}));
}

TEST(RealBuild, TheSourceListingHoldsTheProgramsOwnFilesInOrder)
{
    const std::string listing = Files::read(BUNDLE_RESOURCES "/Tallyroom Source.txt");
    const auto worker = listing.find("// ==== src/worker/main.cpp ====");
    const auto about = listing.find("// ==== src/app/about/SourceDocument.cpp ====");
    ASSERT_NE(worker, std::string::npos);
    ASSERT_NE(about, std::string::npos);
    EXPECT_LT(about, worker);
    EXPECT_NE(listing.find("SourceDocument::SourceDocument(SourcePath path", about), std::string::npos);
}

TEST(AboutDetail, BackToAboutOpensAboutThenClosesOnlyItsOwnWindow)
{
    QStringList actions;
    AboutDetail detail(
        "structure", new QLabel("content"), [&](const QString& id) { actions.append("open " + id); },
        [&](const QString& id) { actions.append("dismiss " + id); });
    for (QPushButton* button : detail.findChildren<QPushButton*>())
        if (button->text() == "Back to About")
            button->click();
    EXPECT_EQ(actions, (QStringList {"open about", "dismiss structure"}));
    EXPECT_TRUE(detail.findChild<QLabel*>());
}
