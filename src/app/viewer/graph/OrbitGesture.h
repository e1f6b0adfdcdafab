#pragma once

#include "app/viewer/graph/ScreenPoint.h"
#include "app/viewer/model/Vec3.h"

// The thresholds and screen geometry of the orbit view's mouse gestures.
namespace OrbitGesture {
// A press that travels farther than this is a drag, never a click.
inline constexpr double dragThreshold = 3;
// Angles about the centre are unstable this close to it, so the spin ignores them.
inline constexpr double deadZone = 8;

bool isDrag(const ScreenPoint& origin, const ScreenPoint& at);

// The turn from `from` to `to` about `centre`, counter-clockwise as the user sees it, in
// radians; 0 when either point lies within the dead zone.
float angle(const ScreenPoint& from, const ScreenPoint& to, const ScreenPoint& centre);

// The eye-space move of a dragged dot for mouse travel `right` and `up` (points); with
// `depth` the upward travel pushes the dot away from the camera instead.
Vec3 dotStep(double right, double up, bool depth, double unitsPerPoint);
}
