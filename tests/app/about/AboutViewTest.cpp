#include "AboutFixture.h"
#include "Waiting.h"
#include "app/about/AboutView.h"

#include <QLabel>
#include <QPushButton>
#include <QThreadPool>

namespace {

class AboutViewTest : public AboutFixture {
protected:
    std::unique_ptr<AboutView> show()
    {
        auto view = std::make_unique<AboutView>([this](const QString& identifier) { opened.append(identifier); },
                                                [folder = resources()] { return std::optional(folder); });
        view->show();
        return view;
    }

    static QPushButton* button(const QWidget& view, const QString& text)
    {
        for (QPushButton* candidate : view.findChildren<QPushButton*>())
            if (candidate->text() == text)
                return candidate;
        return nullptr;
    }

    static QString headline(const QWidget& view)
    {
        return view.findChild<QLabel*>("headline")->text();
    }

    static QStringList labels(const QWidget& view, const QString& name)
    {
        QStringList texts;
        for (const QLabel* label : view.findChildren<QLabel*>(name))
            texts.append(label->text());
        return texts;
    }

    QStringList opened;
};

}

TEST_F(AboutViewTest, WithoutAManifestThreeOfFourAreSatisfied)
{
    auto view = show();
    ASSERT_TRUE(waitUntil([&] { return !view->rows().isEmpty(); }));
    EXPECT_EQ(headline(*view), "3 of 4 dependencies satisfied");
    EXPECT_EQ(labels(*view, "verdictText"), (QStringList {"Satisfied", "Satisfied", "Satisfied", "Not Available"}));
    EXPECT_EQ(labels(*view, "requirementName"),
              (QStringList {"Native scan worker", "diskutil", "Finder", "Linked libraries manifest"}));
}

TEST_F(AboutViewTest, CheckAgainIsOffWhileCheckingAndReadsTheManifestAfresh)
{
    auto view = show();
    QPushButton* again = button(*view, "Check Again");
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->isEnabled());
    ASSERT_TRUE(waitUntil([&] { return again->isEnabled(); }));
    writeManifest(libc() + "\n/nowhere/libmissing.so.2\n");
    again->click();
    EXPECT_TRUE(view->rows().isEmpty());
    EXPECT_FALSE(again->isEnabled());
    ASSERT_TRUE(waitUntil([&] { return !view->rows().isEmpty(); }));
    EXPECT_EQ(headline(*view), "4 of 5 dependencies satisfied");
    EXPECT_EQ(labels(*view, "requirementDetail").last(), "Supports linked system APIs");
}

TEST_F(AboutViewTest, TheButtonsOpenTheSourceAndStructureWindows)
{
    auto view = show();
    button(*view, "Show Code")->click();
    button(*view, "Show Structure")->click();
    EXPECT_EQ(opened, (QStringList {"code", "structure"}));
}

TEST_F(AboutViewTest, AResultThatArrivesAfterTheWindowClosedIsDropped)
{
    writeManifest(libc() + "\n");
    auto view = show();
    view->hide();
    // The check ends on the shared pool and posts its result, which must change nothing.
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(view->rows().isEmpty());
}
