#include "app/viewer/graph/OrbitGesture.h"

#include <gtest/gtest.h>

#include <numbers>

TEST(OrbitGesture, ThreePointsIsStillAClickAndFourADrag)
{
    EXPECT_FALSE(OrbitGesture::isDrag({10, 10}, {13, 10}));
    EXPECT_FALSE(OrbitGesture::isDrag({10, 10}, {10, 7}));
    EXPECT_TRUE(OrbitGesture::isDrag({10, 10}, {14, 10}));
    EXPECT_TRUE(OrbitGesture::isDrag({10, 10}, {12.2, 12.2})) << "diagonal travel counts by distance";
}

TEST(OrbitGesture, AngleTurnsCounterClockwiseAsSeenAndIgnoresTheCentre)
{
    const ScreenPoint centre {100, 100};
    // From the right of the centre to above it (y grows downward): a quarter turn anticlockwise.
    EXPECT_NEAR(OrbitGesture::angle({150, 100}, {100, 50}, centre), std::numbers::pi / 2, 1e-6);
    EXPECT_NEAR(OrbitGesture::angle({100, 50}, {150, 100}, centre), -std::numbers::pi / 2, 1e-6);
    EXPECT_NEAR(OrbitGesture::angle({150, 100}, {50, 99}, centre), 3.1216, 1e-3);
    EXPECT_NEAR(OrbitGesture::angle({150, 100}, {50, 101}, centre), -3.1216, 1e-3);
    EXPECT_EQ(OrbitGesture::angle({107, 100}, {100, 50}, centre), 0) << "start inside the dead zone";
    EXPECT_EQ(OrbitGesture::angle({150, 100}, {100, 107.9}, centre), 0) << "end inside the dead zone";
    EXPECT_NE(OrbitGesture::angle({108, 100}, {100, 92}, centre), 0) << "exactly 8 points away counts";
}

TEST(OrbitGesture, DotStepFollowsTheMouseOrPushesAwayWithDepth)
{
    const Vec3 flat = OrbitGesture::dotStep(10, -4, false, 0.5);
    EXPECT_EQ(flat, (Vec3 {5, -2, 0}));
    const Vec3 deep = OrbitGesture::dotStep(10, 6, true, 0.5);
    EXPECT_EQ(deep, (Vec3 {0, 0, -3})) << "upward travel moves along the view, away from the camera";
}
