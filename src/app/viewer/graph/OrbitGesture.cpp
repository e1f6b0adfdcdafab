#include "app/viewer/graph/OrbitGesture.h"

#include <cmath>

bool OrbitGesture::isDrag(const ScreenPoint& origin, const ScreenPoint& at)
{
    return std::hypot(at.x - origin.x, at.y - origin.y) > dragThreshold;
}

float OrbitGesture::angle(const ScreenPoint& from, const ScreenPoint& to, const ScreenPoint& centre)
{
    // Upward y, so a counter-clockwise turn on screen is positive.
    const float ux = float(from.x - centre.x);
    const float uy = float(centre.y - from.y);
    const float wx = float(to.x - centre.x);
    const float wy = float(centre.y - to.y);
    if (std::hypot(ux, uy) < deadZone || std::hypot(wx, wy) < deadZone)
        return 0;
    return std::atan2(ux * wy - uy * wx, ux * wx + uy * wy);
}

Vec3 OrbitGesture::dotStep(double right, double up, bool depth, double unitsPerPoint)
{
    if (depth)
        return {0, 0, -up * unitsPerPoint};
    return {right * unitsPerPoint, up * unitsPerPoint, 0};
}
