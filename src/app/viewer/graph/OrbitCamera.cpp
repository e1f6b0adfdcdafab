#include "app/viewer/graph/OrbitCamera.h"

#include "app/viewer/graph/VectorMath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

OrbitCamera::OrbitCamera()
{
    aim();
}

EyePose OrbitCamera::aim()
{
    const double p = pitch;
    const double y = yaw;
    back_ = {std::cos(p) * std::sin(y), std::sin(p), std::cos(p) * std::cos(y)};
    position_ = focus + back_ * radius;
    // The pitch never reaches a pole, so world up is never parallel to the viewing axis.
    right_ = normalized(cross({0, 1, 0}, back_));
    up_ = cross(back_, right_);
    return pose();
}

EyePose OrbitCamera::pose() const
{
    return EyePose {yaw, pitch, radius, Shift3::from(focus)};
}

EyePose OrbitCamera::reset()
{
    return moveTo(EyePose());
}

EyePose OrbitCamera::moveTo(const EyePose& pose)
{
    yaw = pose.yaw;
    pitch = pose.pitch;
    radius = pose.radius;
    focus = pose.pan ? pose.pan->vector() : Vec3();
    return aim();
}

EyePose OrbitCamera::zoom(double x)
{
    radius = std::clamp(float(radius * std::exp(x)), closest, farthest);
    return aim();
}

EyePose OrbitCamera::scroll(double deltaY, bool precise)
{
    return zoom(-deltaY * (precise ? preciseScroll : coarseScroll));
}

EyePose OrbitCamera::pinch(double magnification)
{
    return zoom(-magnification);
}

EyePose OrbitCamera::rotate(double right, double up)
{
    yaw -= float(right * turnPerPoint);
    pitch = std::clamp(float(pitch + up * turnPerPoint), -pitchLimit, pitchLimit);
    return aim();
}

EyePose OrbitCamera::pan(double right, double up)
{
    const double v = unitsPerPoint(radius);
    focus = focus + eyeDirectionToWorld({-right * v, -up * v, 0});
    return aim();
}

double OrbitCamera::unitsPerPoint(double distance) const
{
    return 2 * distance * std::tan(fieldOfView * std::numbers::pi / 360) / std::max(height, 1.0);
}

double OrbitCamera::focalPoints() const
{
    return 1 / unitsPerPoint(1);
}

Vec3 OrbitCamera::toEye(const Vec3& world) const
{
    const Vec3 d = world - position_;
    return {dot(d, right_), dot(d, up_), dot(d, back_)};
}

Vec3 OrbitCamera::eyeDirectionToWorld(const Vec3& direction) const
{
    return right_ * direction.x + up_ * direction.y + back_ * direction.z;
}

std::optional<Projected> OrbitCamera::project(const Vec3& world) const
{
    const Vec3 eye = toEye(world);
    const double distance = -eye.z;
    if (distance <= 0)
        return std::nullopt;
    const double scale = focalPoints() / distance;
    const double depth = far * (distance - near) / (distance * (far - near));
    return Projected {{width / 2 + eye.x * scale, height / 2 - eye.y * scale}, depth, distance};
}

double OrbitCamera::projectedRadius(const Vec3& centre, double sphereRadius) const
{
    const double d = length(centre - position_);
    if (d <= sphereRadius)
        return 0;
    return focalPoints() * sphereRadius / std::sqrt(d * d - sphereRadius * sphereRadius);
}

Vec3 OrbitCamera::rayThrough(const ScreenPoint& point) const
{
    const double f = focalPoints();
    return normalized(eyeDirectionToWorld({(point.x - width / 2) / f, (height / 2 - point.y) / f, -1}));
}
