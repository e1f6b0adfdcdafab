#pragma once

#include "app/viewer/graph/Projected.h"
#include "app/viewer/graph/ScreenPoint.h"
#include "app/viewer/model/EyePose.h"
#include "app/viewer/model/Vec3.h"

#include <optional>

// A camera that orbits a focus point at a distance, looking at it, with a vertical field of
// view. Deltas named `right` and `up` are mouse travel in points, positive rightward and upward.
class OrbitCamera {
public:
    static constexpr double fieldOfView = 55;
    static constexpr double near = 0.1;
    static constexpr double far = 200;
    static constexpr float closest = 4;
    static constexpr float farthest = 80;
    static constexpr float pitchLimit = 1.43f;
    static constexpr double turnPerPoint = 0.009;
    static constexpr double preciseScroll = 0.006;
    static constexpr double coarseScroll = 0.065;

    OrbitCamera();

    float yaw = 0;
    float pitch = 0.42f;
    float radius = 26;
    Vec3 focus;
    // The view's size in points.
    double width = 1;
    double height = 1;

    // Places the eye from yaw, pitch, radius and focus; returns the pose to report.
    EyePose aim();
    EyePose reset();
    EyePose moveTo(const EyePose& pose);
    // Multiplies the radius by e^x within its limits.
    EyePose zoom(double x);
    EyePose scroll(double deltaY, bool precise);
    EyePose pinch(double magnification);
    EyePose rotate(double right, double up);
    // Moves the focus so the scene follows the mouse.
    EyePose pan(double right, double up);
    EyePose pose() const;

    Vec3 eyePosition() const { return position_; }
    // From the scene toward the viewer: the camera's own +z axis.
    Vec3 viewingAxis() const { return back_; }
    // World units covered by one point of travel at a distance in front of the camera.
    double unitsPerPoint(double distance) const;
    Vec3 toEye(const Vec3& world) const;
    Vec3 eyeDirectionToWorld(const Vec3& direction) const;
    // None for points behind the camera.
    std::optional<Projected> project(const Vec3& world) const;
    // Screen radius of a sphere: its silhouette seen straight on.
    double projectedRadius(const Vec3& centre, double sphereRadius) const;
    // The unit direction from the eye through a point of the view.
    Vec3 rayThrough(const ScreenPoint& point) const;

private:
    double focalPoints() const;

    Vec3 position_;
    Vec3 right_ {1, 0, 0};
    Vec3 up_ {0, 1, 0};
    Vec3 back_ {0, 0, 1};
};
