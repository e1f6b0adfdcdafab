#pragma once

// A position in the view, in points from its top-left corner, y growing downward.
struct ScreenPoint {
    double x = 0;
    double y = 0;
};
