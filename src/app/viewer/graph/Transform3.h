#pragma once

#include "app/viewer/graph/VectorMath.h"

// A node's placement relative to its parent: scale first, then rotation, then translation.
struct Transform3 {
    Quaternion rotation;
    Vec3 translation;
    double scale = 1;

    Vec3 apply(const Vec3& point) const { return rotate(rotation, point * scale) + translation; }

    // This transform placed inside `parent`.
    Transform3 within(const Transform3& parent) const
    {
        return {parent.rotation * rotation, parent.apply(translation), parent.scale * scale};
    }
};
