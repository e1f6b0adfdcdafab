#include "Waiting.h"
#include "app/setup/StartupWindowSize.h"
#include "app/setup/SunriseBackground.h"

#include <QApplication>

#include <gtest/gtest.h>

TEST(Decoration, TheGradientFollowsTheColourScheme)
{
    SunriseBackground background;
    background.resize(100, 100);
    QPalette light;
    light.setColor(QPalette::Window, QColor(236, 236, 236));
    background.setPalette(light);
    EXPECT_FALSE(background.darkScheme());
    QGradientStops stops = background.gradient().stops();
    ASSERT_EQ(stops.size(), 3);
    EXPECT_EQ(stops[0].second, QColor::fromRgbF(0.78f, 0.85f, 0.90f));
    EXPECT_EQ(stops[2].second, QColor::fromRgbF(0.96f, 0.83f, 0.74f));

    QPalette dark;
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    background.setPalette(dark);
    EXPECT_TRUE(background.darkScheme());
    stops = background.gradient().stops();
    EXPECT_EQ(stops[0].second, QColor::fromRgbF(0.16f, 0.21f, 0.27f));
    EXPECT_EQ(stops[1].second, QColor::fromRgbF(0.22f, 0.23f, 0.26f));
    EXPECT_EQ(stops[2].second, QColor::fromRgbF(0.31f, 0.24f, 0.22f));

    const QImage image = background.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0).red(), 41) << "the top-leading corner starts the gradient";
}

TEST(Decoration, TheFirstSizeIsGivenOnce)
{
    QWidget window;
    StartupWindowSize sizing(&window);
    window.resize(300, 200);
    window.show();
    ASSERT_TRUE(waitUntil([&] { return window.size() == QSize(690, 425); }, 2000));
    EXPECT_TRUE(sizing.applied());
    window.hide();
    window.resize(500, 300);
    window.show();
    QApplication::processEvents();
    waitUntil([] { return false; }, 300);
    EXPECT_EQ(window.size(), QSize(500, 300)) << "showing it again keeps the user's size";

    QWidget fullScreen;
    StartupWindowSize fullScreenSizing(&fullScreen);
    fullScreen.showFullScreen();
    waitUntil([] { return false; }, 300);
    EXPECT_TRUE(fullScreen.isFullScreen());
    EXPECT_NE(fullScreen.size(), QSize(690, 425)) << "a full-screen window keeps its size";
}
