#pragma once

// A point or displacement in the graph's own space.
struct Vec3 {
    double x = 0;
    double y = 0;
    double z = 0;

    friend Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
    friend bool operator==(const Vec3&, const Vec3&) = default;
};
