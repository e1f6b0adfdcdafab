#include "app/viewer/graph/OrbitCamera.h"
#include "app/viewer/graph/VectorMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

OrbitCamera cameraOf(double width, double height)
{
    OrbitCamera camera;
    camera.width = width;
    camera.height = height;
    camera.aim();
    return camera;
}

}

TEST(OrbitCamera, StartsAtTheDefaultPoseAndReportsItsFocusAsPan)
{
    OrbitCamera camera = cameraOf(800, 600);
    const EyePose pose = camera.aim();
    EXPECT_EQ(pose, (EyePose {0, 0.42f, 26, Shift3 {0, 0, 0}}));
    // yaw 0 looks from +z; pitch 0.42 raises the eye.
    const Vec3 eye = camera.eyePosition();
    EXPECT_NEAR(eye.x, 0, 1e-9);
    EXPECT_NEAR(eye.y, 26 * std::sin(0.42f), 1e-5);
    EXPECT_NEAR(eye.z, 26 * std::cos(0.42f), 1e-5);
    const auto focus = camera.project({0, 0, 0});
    ASSERT_TRUE(focus);
    EXPECT_NEAR(focus->point.x, 400, 1e-9);
    EXPECT_NEAR(focus->point.y, 300, 1e-9);
}

TEST(OrbitCamera, PitchIsClampedAndYawIsNot)
{
    OrbitCamera camera = cameraOf(800, 600);
    camera.rotate(0, 100000);
    EXPECT_FLOAT_EQ(camera.pitch, 1.43f);
    camera.rotate(0, -100000);
    EXPECT_FLOAT_EQ(camera.pitch, -1.43f);
    camera.rotate(1000, 0);
    EXPECT_NEAR(camera.yaw, -9, 1e-4) << "dragging right turns the yaw back by 0.009 per point";
    camera.rotate(-3000, 0);
    EXPECT_NEAR(camera.yaw, 18, 1e-4);
}

TEST(OrbitCamera, ScrollAndPinchStayBetweenFourAndEighty)
{
    OrbitCamera camera = cameraOf(800, 600);
    camera.scroll(1, false);
    EXPECT_NEAR(camera.radius, 26 * std::exp(-0.065), 1e-4) << "a wheel notch";
    camera.reset();
    camera.scroll(10, true);
    EXPECT_NEAR(camera.radius, 26 * std::exp(-0.06), 1e-4) << "trackpad deltas are finer";
    camera.scroll(100000, false);
    EXPECT_FLOAT_EQ(camera.radius, 4);
    camera.scroll(-100000, true);
    EXPECT_FLOAT_EQ(camera.radius, 80);
    camera.reset();
    camera.pinch(0.5);
    EXPECT_NEAR(camera.radius, 26 * std::exp(-0.5), 1e-4) << "spreading the fingers comes closer";
    camera.pinch(-50);
    EXPECT_FLOAT_EQ(camera.radius, 80);
}

TEST(OrbitCamera, OnePointOfTravelCoversTheFieldOfViewOverTheHeight)
{
    const OrbitCamera camera = cameraOf(1000, 500);
    EXPECT_NEAR(camera.unitsPerPoint(26), 2 * 26 * std::tan(55 * std::numbers::pi / 360) / 500, 1e-12);
    const OrbitCamera empty = cameraOf(0, 0);
    EXPECT_NEAR(empty.unitsPerPoint(26), 2 * 26 * std::tan(55 * std::numbers::pi / 360), 1e-12)
        << "an empty view divides by one";
}

TEST(OrbitCamera, PanMakesTheSceneFollowTheMouse)
{
    OrbitCamera camera = cameraOf(800, 600);
    const Vec3 origin {0, 0, 0};
    camera.pan(40, 0);
    EXPECT_NEAR(camera.project(origin)->point.x, 440, 1e-6);
    EXPECT_NEAR(camera.project(origin)->point.y, 300, 1e-6);
    camera.pan(0, 25);
    EXPECT_NEAR(camera.project(origin)->point.y, 275, 1e-6) << "upward travel lifts the scene";
    EXPECT_TRUE(camera.aim().pan) << "a pan is reported once aimed";
}

TEST(OrbitCamera, MovingToAPoseWithoutPanOrbitsTheOrigin)
{
    OrbitCamera camera = cameraOf(800, 600);
    camera.pan(100, 100);
    camera.moveTo(EyePose {1.0f, -0.3f, 12, std::nullopt});
    EXPECT_EQ(camera.focus, (Vec3 {0, 0, 0}));
    EXPECT_NEAR(length(camera.eyePosition()), 12, 1e-5);
    camera.moveTo(EyePose {0, 0, 10, Shift3 {1, 2, 3}});
    EXPECT_NEAR(camera.project({1, 2, 3})->point.x, 400, 1e-6);
}

TEST(OrbitCamera, ProjectsSpheresAndRaysConsistently)
{
    const OrbitCamera camera = cameraOf(800, 600);
    EXPECT_FALSE(camera.project(camera.eyePosition() + camera.viewingAxis()))
        << "points behind the eye have no place on screen";
    // A sphere at the focus seen straight on: radius r/√(d²−r²) of the focal length.
    const double focal = 1 / camera.unitsPerPoint(1);
    EXPECT_NEAR(camera.projectedRadius({0, 0, 0}, 0.66), focal * 0.66 / std::sqrt(26.0 * 26 - 0.66 * 0.66), 1e-9);
    const Vec3 point {2, 3, -1};
    const auto seen = camera.project(point);
    const Vec3 ray = camera.rayThrough(seen->point);
    const Vec3 toPoint = normalized(point - camera.eyePosition());
    EXPECT_NEAR(dot(ray, toPoint), 1, 1e-9);
    const auto near = camera.project(camera.eyePosition() - camera.viewingAxis() * OrbitCamera::near);
    const auto far = camera.project(camera.eyePosition() - camera.viewingAxis() * OrbitCamera::far);
    EXPECT_NEAR(near->depth, 0, 1e-9);
    EXPECT_NEAR(far->depth, 1, 1e-9);
}
