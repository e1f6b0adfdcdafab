#pragma once

#include "app/viewer/graph/ScreenPoint.h"

class SceneNode;

// One shape of the scene as it lands in the view.
struct DrawItem {
    enum class Kind { line, disc, label };

    Kind kind = Kind::disc;
    const SceneNode* node = nullptr;
    // Distance in front of the camera; larger is drawn first.
    double distance = 0;
    // A disc's centre, a line's start, a label's baseline centre.
    ScreenPoint at;
    // A line's end.
    ScreenPoint to;
    // A disc's radius, a label's font size, in points.
    double size = 0;
};
