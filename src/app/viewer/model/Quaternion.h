#pragma once

#include <cmath>

// A rotation in single precision, stored as x, y, z, w; the default turns nothing.
struct Quaternion {
    float x = 0;
    float y = 0;
    float z = 0;
    float w = 1;

    float length() const { return std::sqrt(x * x + y * y + z * z + w * w); }
    Quaternion normalized() const
    {
        const float l = length();
        return {x / l, y / l, z / l, w / l};
    }

    friend bool operator==(const Quaternion&, const Quaternion&) = default;
};
