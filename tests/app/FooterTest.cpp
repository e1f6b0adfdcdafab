#include "Files.h"
#include "TempFolder.h"
#include "app/platform/DiskImage.h"
#include "app/texts/Fmt.h"
#include "app/widgets/CreditChecksum.h"
#include "app/widgets/ReleaseTitle.h"

#include <gtest/gtest.h>

#include <QSettings>

#include <cstdint>

namespace {

class FakeDiskImage : public DiskImage {
public:
    bool mounted = false;
    std::optional<QString> image;
    int lookups = 0;

    bool onImage(const QString&) override
    {
        ++lookups;
        return mounted;
    }
    std::optional<QString> imageFile(const QString&) override { return image; }
};

}

TEST(Fmt, DecimalByteCountsInGlibWords)
{
    const QString nbsp(QChar(0x00a0));
    EXPECT_EQ(fmt(0), "0 bytes");
    EXPECT_EQ(fmt(1), "1 byte");
    EXPECT_EQ(fmt(999), "999 bytes");
    EXPECT_EQ(fmt(1000), "1.0" + nbsp + "kB");
    EXPECT_EQ(fmt(123456), "123.5" + nbsp + "kB");
    EXPECT_EQ(fmt(1200000), "1.2" + nbsp + "MB");
    EXPECT_EQ(fmt(1230000000), "1.2" + nbsp + "GB");
    EXPECT_EQ(fmt(2000000000000), "2.0" + nbsp + "TB");
    EXPECT_EQ(fmt(-1500), "-1.5" + nbsp + "kB");
    EXPECT_EQ(fmt(INT64_MIN), "-9.2" + nbsp + "EB");
}

TEST(ReleaseTitle, VersionFromTheBundleOrAQuestionMark)
{
    TempFolder bundle;
    EXPECT_EQ(bundleVersion(QString::fromStdString(bundle.path())), "?");
    Files::write(bundle / "Contents/Info.plist",
                 "<plist><dict><key>CFBundleShortVersionString</key><integer>3</integer></dict></plist>");
    EXPECT_EQ(bundleVersion(QString::fromStdString(bundle.path())), "?") << "not a string";
    Files::write(bundle / "Contents/Info.plist",
                 "<plist><dict><key>CFBundleName</key><string>x</string>"
                 "<key>CFBundleShortVersionString</key><string>1.2</string></dict></plist>");
    EXPECT_EQ(bundleVersion(QString::fromStdString(bundle.path())), "1.2");
    EXPECT_TRUE(releaseTitle().startsWith("tallyroom v"));
}

TEST(CreditChecksum, KeptOnlyWhenPlausibleAndComputedOnlyFromAnImage)
{
    QSettings().clear();
    TempFolder folder;
    FakeDiskImage images;
    EXPECT_EQ(CreditChecksum::load("1.2", "/somewhere", images), "Open the app from its DMG to calculate");

    images.mounted = true;
    EXPECT_EQ(CreditChecksum::load("1.2", "/somewhere", images), "Open the app from its DMG to calculate") << "image not found";

    Files::write(folder / "image.dmg", "abc");
    images.image = QString::fromStdString(folder / "image.dmg");
    EXPECT_EQ(CreditChecksum::load("1.2", "/somewhere", images), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(QSettings().value("publishedDMGMD5.v1.2").toString(), "900150983cd24fb0d6963f7d28e17f72");

    images.lookups = 0;
    EXPECT_EQ(CreditChecksum::load("1.2", "/somewhere", images), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(images.lookups, 0) << "a kept value is used without looking";

    for (const char* kept : {"900150983CD24FB0D6963F7D28E17F72", "900150983cd24fb0d6963f7d28e17f7", "x"}) {
        QSettings().setValue("publishedDMGMD5.v1.2", kept);
        EXPECT_EQ(CreditChecksum::load("1.2", "/somewhere", images), "900150983cd24fb0d6963f7d28e17f72") << kept;
    }
    QSettings().clear();
}
