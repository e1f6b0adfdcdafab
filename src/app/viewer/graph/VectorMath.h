#pragma once

#include "app/viewer/model/Quaternion.h"
#include "app/viewer/model/Vec3.h"

#include <cmath>

// The few vector and rotation operations the scene, the camera and the picking share.
inline Vec3 operator-(const Vec3& a, const Vec3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

inline Vec3 operator*(const Vec3& v, double s)
{
    return {v.x * s, v.y * s, v.z * s};
}

inline double dot(const Vec3& a, const Vec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline double length(const Vec3& v)
{
    return std::sqrt(dot(v, v));
}

inline Vec3 normalized(const Vec3& v)
{
    const double l = length(v);
    return l > 0 ? v * (1 / l) : v;
}

// Hamilton product: b is applied first, then a.
inline Quaternion operator*(const Quaternion& a, const Quaternion& b)
{
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
            a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w,
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

inline Quaternion conjugate(const Quaternion& q)
{
    return {-q.x, -q.y, -q.z, q.w};
}

// A turn of `angle` radians about the unit vector `axis`, counter-clockwise seen from its tip.
inline Quaternion aboutAxis(const Vec3& axis, double angle)
{
    const double s = std::sin(angle / 2);
    return {float(axis.x * s), float(axis.y * s), float(axis.z * s), float(std::cos(angle / 2))};
}

inline Vec3 rotate(const Quaternion& q, const Vec3& v)
{
    // v + 2w(u × v) + 2u × (u × v), u the vector part; avoids building a matrix.
    const Vec3 u {q.x, q.y, q.z};
    const Vec3 t = cross(u, v) * 2;
    return v + t * q.w + cross(u, t);
}
