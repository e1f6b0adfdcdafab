#include "AboutFixture.h"
#include "app/about/Diagnostics.h"
#include "app/about/StructureView.h"
#include "app/widgets/MemoryFootprint.h"
#include "app/widgets/MemoryReadout.h"

#include <QFile>
#include <QRegularExpression>

namespace {

using DiagnosticsTest = AboutFixture;

QStringList names(const QList<Requirement>& rows)
{
    QStringList all;
    for (const Requirement& row : rows)
        all.append(row.name);
    return all;
}

QStringList realManifest()
{
    QFile file(QStringLiteral(BUNDLE_RESOURCES "/LinkedLibraries.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}

TEST_F(DiagnosticsTest, WithoutAManifestTheFourthRowSaysItIsMissing)
{
    const QList<Requirement> rows = Diagnostics::check(resources());
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(names(rows), (QStringList {"Native scan worker", "diskutil", "Finder", "Linked libraries manifest"}));
    EXPECT_EQ(rows[0].detail, "Scans selected disk entries");
    EXPECT_EQ(rows[1].detail, "Verifies local disk volumes");
    EXPECT_EQ(rows[2].detail, "Reveal files and folders");
    EXPECT_EQ(rows[3].detail, "Lists linked system libraries");
    EXPECT_TRUE(rows[0].available);
    EXPECT_TRUE(rows[2].available);
    EXPECT_FALSE(rows[3].available);
    EXPECT_EQ(rows[3].id(), "Lists linked system libraries/Linked libraries manifest");
}

TEST_F(DiagnosticsTest, AnEmptyManifestCountsAsMissingAndAMissingWorkerFails)
{
    writeManifest("\n\n");
    removeWorker();
    const QList<Requirement> rows = Diagnostics::check(resources());
    ASSERT_EQ(rows.size(), 4);
    EXPECT_FALSE(rows[0].available);
    EXPECT_EQ(rows[3].name, "Linked libraries manifest");
}

TEST_F(DiagnosticsTest, AWorkerWithoutExecutePermissionIsNotAvailable)
{
    QFile::setPermissions(resources() + "/../Helpers/delver", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_FALSE(Diagnostics::check(resources())[0].available);
}

TEST_F(DiagnosticsTest, OneRowPerNonEmptyManifestLineInFileOrder)
{
    writeManifest("\n" + libc() + "\n\n/nowhere/libmissing.so.2\n" + qtCore() + "\n\n");
    const QList<Requirement> rows = Diagnostics::check(resources());
    ASSERT_EQ(rows.size(), 6);
    EXPECT_EQ(names(rows.mid(3)), (QStringList {"libc.so.6", "libmissing.so.2", "libQt6Core.so.6"}));
    EXPECT_TRUE(rows[3].available);
    EXPECT_FALSE(rows[4].available);
    EXPECT_TRUE(rows[5].available);
    EXPECT_EQ(rows[3].detail, Diagnostics::purposes().value("libc.so.6"));
    EXPECT_EQ(rows[5].detail, "Manages files and URLs");
}

TEST_F(DiagnosticsTest, ALibraryNotInThePurposeTableGetsTheGeneralDetail)
{
    writeManifest("/nowhere/libmissing.so.2");
    EXPECT_EQ(Diagnostics::check(resources()).last().detail, "Supports linked system APIs");
}

TEST(RealBuild, EveryLinkedLibraryLoadsAndHasAPurpose)
{
    const QStringList libraries = realManifest();
    ASSERT_FALSE(libraries.isEmpty());
    const QList<Requirement> rows = Diagnostics::check(QStringLiteral(BUNDLE_RESOURCES));
    ASSERT_EQ(rows.size(), 3 + libraries.size());
    EXPECT_TRUE(rows[0].available) << "the bundle's worker";
    for (const Requirement& row : rows.mid(3)) {
        EXPECT_TRUE(row.available) << row.name.toStdString();
        EXPECT_TRUE(Diagnostics::purposes().contains(row.name)) << row.name.toStdString();
    }
    for (const QString& path : libraries)
        EXPECT_TRUE(path.startsWith('/')) << path.toStdString();
}

TEST(RealBuild, TheManifestNamesTheLibrariesTheStructureRelatesTo)
{
    const QStringList libraries = realManifest();
    QStringList named;
    for (const QString& path : libraries)
        named.append(path.section('/', -1));
    for (const char* library : {"libc.so.6", "libQt6Core.so.6", "libQt6Gui.so.6", "libQt6Widgets.so.6"})
        EXPECT_TRUE(named.contains(library)) << library;
}

TEST(MemoryFootprint, ReadsTheResidentSizeInBytes)
{
    EXPECT_EQ(residentBytes("Name:\ttallyroom\nVmPeak:\t  9000 kB\nVmRSS:\t    1953 kB\nRssAnon:\t 12 kB\n"),
              1953u * 1024);
    EXPECT_FALSE(residentBytes("Name:\ttallyroom\nVmHWM:\t 1953 kB\n"));
    const auto own = memoryFootprint();
    ASSERT_TRUE(own);
    EXPECT_GT(*own, 1000000u);
}

TEST(MemoryFootprint, TextInWholeDecimalMegabytes)
{
    EXPECT_EQ(memoryUseText(1999999), "Memory use: 1 MB");
    EXPECT_EQ(memoryUseText(999999), "Memory use: 0 MB");
    EXPECT_EQ(memoryUseText(12000000000ull), "Memory use: 12000 MB");
    EXPECT_EQ(memoryUseText(std::nullopt), "Memory use: unavailable");
}

TEST(MemoryFootprint, TheReadoutShowsThisProcessInMegabytes)
{
    const MemoryReadout readout;
    EXPECT_TRUE(QRegularExpression("^Memory use: [1-9][0-9]* MB$").match(readout.text()).hasMatch())
        << readout.text().toStdString();
}
