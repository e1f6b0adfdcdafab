#include "AboutFixture.h"
#include "Waiting.h"
#include "app/about/AboutView.h"
#include "app/about/StructureView.h"

#include <QLabel>
#include <QRegularExpression>

namespace {

class StructureViewTest : public AboutFixture {
protected:
    static std::unique_ptr<StructureView> show(std::optional<QString> folder)
    {
        auto view = std::make_unique<StructureView>([folder] { return folder; });
        view->resize(700, 600);
        view->show();
        return view;
    }

    // The dependency line of the block with this title.
    static QString dependencies(const QWidget& view, const QString& block)
    {
        for (const QWidget* cell : view.findChildren<QWidget*>("block"))
            if (cell->accessibleName() == block)
                return cell->findChild<QLabel*>("dependencies")->text();
        return {};
    }

    static QStringList texts(const QWidget* box)
    {
        QStringList all;
        for (const QLabel* label : box->findChildren<QLabel*>())
            all.append(label->text());
        return all;
    }
};

}

TEST_F(StructureViewTest, BeforeTheChecksFinishEveryLabelWaits)
{
    auto view = show(std::nullopt);
    const auto cells = view->findChildren<QWidget*>("block");
    ASSERT_EQ(cells.size(), 12);
    EXPECT_EQ(dependencies(*view, "Verify the volume on request"), "… · …");
    for (const QLabel* label : view->findChildren<QLabel*>("dependencies"))
        EXPECT_TRUE(QRegularExpression("^…( · …)*$").match(label->text()).hasMatch()) << label->text().toStdString();
    EXPECT_FALSE(view->findChild<QWidget*>("sharedRuntime"));
}

TEST_F(StructureViewTest, LabelsCarryTheRowNumbersOfTheAboutList)
{
    writeManifest(qtCore() + "\n" + libc() + "\n" + cxxRuntime() + "\n/nowhere/libmissing.so.2\n");
    auto view = show(resources());
    ASSERT_TRUE(waitUntil([&] { return !view->rows().isEmpty(); }));
    EXPECT_EQ(dependencies(*view, "Validate the selected volume and paths"), "#4 libQt6Core.so.6 · #5 libc.so.6");
    EXPECT_EQ(dependencies(*view, "Verify the volume on request"), "#1 Native scan worker · #2 diskutil");
    EXPECT_EQ(dependencies(*view, "Review deletion and authenticate if needed"),
              "libQt6Widgets.so.6 (unlisted) · libpam.so.0 (unlisted) · #1 Native scan worker");
}

TEST_F(StructureViewTest, UnusedLibrariesAreListedUnderTheRuntimeOrTheFrameworkPart)
{
    writeManifest(qtCore() + "\n" + cxxRuntime() + "\n/nowhere/libmissing.so.2\n");
    auto view = show(resources());
    ASSERT_TRUE(waitUntil([&] { return view->findChild<QWidget*>("sharedRuntime") != nullptr; }));
    const QStringList part = texts(view->findChild<QWidget*>("sharedRuntime"));
    const auto runtime = part.indexOf("Shared runtime");
    const auto support = part.indexOf("Framework support libraries");
    const auto cxx = part.indexOf("#5  libstdc++.so.6");
    const auto missing = part.indexOf("#6  libmissing.so.2");
    ASSERT_GE(runtime, 0);
    EXPECT_TRUE(runtime < cxx && cxx < support && support < missing);
    EXPECT_EQ(part[cxx + 1], StructureView::runtimeNotes().value("libstdc++.so.6"));
    EXPECT_EQ(part[missing + 1], "Supports linked system APIs");
    EXPECT_FALSE(part.contains("#4  libQt6Core.so.6"));
}

TEST_F(StructureViewTest, EveryNumberOfTheRealBuildNamesTheSameRowInAbout)
{
    AboutView about([](const QString&) {}, [] { return std::optional<QString>(BUNDLE_RESOURCES); });
    about.show();
    auto view = show(QStringLiteral(BUNDLE_RESOURCES));
    ASSERT_TRUE(waitUntil([&] { return !view->rows().isEmpty() && !about.rows().isEmpty(); }));
    const QList<Requirement>& rows = about.rows();
    static const QRegularExpression numbered("#(\\d+) (.+)");
    int checked = 0;
    for (const QLabel* label : view->findChildren<QLabel*>("dependencies"))
        for (const QString& part : label->text().split(" · ")) {
            const QRegularExpressionMatch match = numbered.match(part);
            if (!match.hasMatch())
                continue;
            ASSERT_LE(match.captured(1).toInt(), rows.size());
            EXPECT_EQ(rows[match.captured(1).toInt() - 1].name, match.captured(2));
            ++checked;
        }
    EXPECT_GT(checked, 12);
}
