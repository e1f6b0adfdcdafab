#include "Files.h"
#include "TestHome.h"
#include "app/platform/VolumeNames.h"
#include "app/setup/DiskSetup.h"
#include "app/shell/AppIdentity.h"
#include "app/widgets/ModeLabel.h"
#include "app/widgets/SymbolIcon.h"
#include "shared/platform/Volumes.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "Waiting.h"

namespace {

// Every character a label shows is a letter, digit, space or ordinary punctuation: no symbol
// that needs a special font.
bool plainWords(const QString& text)
{
    for (const QChar c : text)
        if (!(c.isLetterOrNumber() || c == QLatin1Char(' ') || c == QLatin1Char('-') || c == QLatin1Char('.')))
            return false;
    return !text.isEmpty();
}

QString accessibleName(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// The share of the rectangle's pixels that differ clearly from its corner's colour.
double inked(const QImage& image, const QRect& box)
{
    const QColor background = image.pixelColor(box.topLeft());
    int different = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - background.red()) + std::abs(c.green() - background.green())
                    + std::abs(c.blue() - background.blue()) > 120)
                ++different;
        }
    return static_cast<double>(different) / (box.width() * box.height());
}

}

TEST(Symbols, ModeLabelsShowTheirSymbolAsAnIconAndNameTheModeInPlainWords)
{
    for (bool readOnly : {true, false}) {
        ModeLabel label(readOnly, true, false);
        EXPECT_EQ(label.text(), readOnly ? "Read-Only Mode" : "Active Mode");
        EXPECT_TRUE(plainWords(accessibleName(&label))) << accessibleName(&label).toStdString();
        EXPECT_FALSE(label.icon().isNull());
        EXPECT_FALSE(label.icon().pixmap(16, 16).toImage().isNull());
    }

    // The drop-down chevron is drawn beside the name, not typed into it.
    ModeLabel menu(false, true, true);
    menu.resize(menu.sizeHint());
    EXPECT_EQ(menu.text(), "Active Mode");
    ModeLabel plain(false, true, false);
    EXPECT_GT(menu.sizeHint().width(), plain.sizeHint().width() + 10) << "room for the chevron";
    const QImage drawn = menu.grab().toImage();
    const QRect chevron(menu.width() - 20, menu.height() / 2 - 6, 12, 12);
    EXPECT_GT(inked(drawn, chevron), 0.05) << "the chevron shows";
}

TEST(Symbols, KeepIsMarkedWithACheckmarkAndConfirmedOnceKept)
{
    DiskSetup setup(nullptr, [](const DiskScope&) {});
    setup.show();
    const QList<QPushButton*> keeps = [&] {
        QList<QPushButton*> found;
        for (QPushButton* button : setup.findChildren<QPushButton*>())
            if (button->text() == "Keep")
                found.append(button);
        return found;
    }();
    ASSERT_EQ(keeps.size(), 2);
    QPushButton* keep = keeps.front();
    EXPECT_TRUE(keep->icon().isNull());
    EXPECT_TRUE(keep->accessibleDescription().isEmpty());
    QTest::mouseClick(keep, Qt::LeftButton);
    EXPECT_EQ(keep->text(), "Keep");
    EXPECT_EQ(accessibleName(keep), "Keep");
    EXPECT_EQ(keep->accessibleDescription(), "Confirmed");
    EXPECT_FALSE(keep->icon().isNull());
    EXPECT_TRUE(keeps.back()->icon().isNull()) << "the other folder is not confirmed yet";
}

TEST(Symbols, DisksAreNamedAsTheDesktopNamesThem)
{
    const VolumeNames names;
    Mount root = Volumes::containing("/");
    const std::string label = Volumes::label(root);
    EXPECT_EQ(names.of(root).toStdString(), label.empty() ? "Filesystem root" : label);
    Mount unknown;
    unknown.mountPoint = "/nowhere/known";
    EXPECT_EQ(names.of(unknown), "/nowhere/known") << "a mount the desktop does not know keeps its path";

    DiskSetup setup([] {}, [](const DiskScope&) {});
    setup.show();
    ASSERT_TRUE(waitUntil([&] { return !setup.volumes().empty(); }));
    EXPECT_NE(setup.volumes().front().name, "/") << "never a bare slash as a name";
    const QAction* first = setup.findChild<QMenu*>("diskChoices")->actions().front();
    EXPECT_EQ(first->text(), setup.volumes().front().name + "\t/") << "the mount point as secondary text";

    setup.chooseVolume(setup.volumes().front());
    EXPECT_EQ(setup.findChild<QLabel*>("selectedDisk")->text(), setup.volumes().front().name);
    EXPECT_EQ(setup.findChild<QLabel*>("selectedDiskMount")->text(), "/");

    const std::string folder = TestHome::path() + "/named";
    Files::makeFolder(folder);
    setup.chooseFolder(QString::fromStdString(folder));
    EXPECT_TRUE(setup.findChild<QLabel*>("selectedDiskMount")->text().isEmpty()) << "unknown until looked up";
    ASSERT_TRUE(waitUntil([&] { return setup.selectedDiskName().has_value(); }));
    const Mount holder = Volumes::containing(folder);
    EXPECT_EQ(*setup.selectedDiskName(), names.of(holder));
    EXPECT_EQ(setup.findChild<QLabel*>("selectedDiskMount")->text().toStdString(), holder.mountPoint);
}

TEST(Symbols, TheApplicationCarriesItsIconAndDesktopFileName)
{
    AppIdentity::apply();
    EXPECT_EQ(QGuiApplication::desktopFileName(), "tallyroom");
    const QIcon icon = QGuiApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 48, 256}) {
        const QImage image = icon.pixmap(size, size).toImage();
        EXPECT_EQ(image.width(), size);
        EXPECT_GT(inked(image, image.rect()), 0.3) << size << " px: the picture fills its square";
    }
    QWidget window;
    EXPECT_EQ(window.windowIcon().cacheKey(), icon.cacheKey()) << "windows take the application's icon";
}

TEST(Symbols, EveryBundledDrawingDrawsForDesktopsWithoutTheIcon)
{
    for (const char* name : {"checkmark", "chevron-down", "pencil", "tallyroom", "file", "folder", "hand", "link",
                             "open", "spin", "viewer"}) {
        const QImage drawing = SymbolIcon::bundled(QString::fromLatin1(name)).pixmap(16, 16).toImage();
        EXPECT_FALSE(drawing.isNull()) << name;
    }
    const QImage missing = SymbolIcon::bundled(QStringLiteral("no-such-drawing")).pixmap(16, 16).toImage();
    EXPECT_TRUE(missing.isNull()) << "a missing drawing shows as none";
}
