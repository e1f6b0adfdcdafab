#pragma once

#include "app/viewer/graph/ScreenPoint.h"

// A scene point as the camera sees it.
struct Projected {
    ScreenPoint point;
    // 0 at the near plane, 1 at the far plane.
    double depth = 0;
    // Distance in front of the camera along its viewing direction.
    double distance = 0;
};
