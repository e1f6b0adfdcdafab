#pragma once

#include "app/viewer/model/Vec3.h"

#include <nlohmann/json_fwd.hpp>

// The stored form of a 3D vector: a camera focus or a dot's drag offset.
struct Shift3 {
    double x = 0;
    double y = 0;
    double z = 0;

    static Shift3 from(const Vec3& v) { return {v.x, v.y, v.z}; }
    Vec3 vector() const { return {x, y, z}; }

    nlohmann::ordered_json toJson() const;
    // Throws DecodingError.
    static Shift3 fromJson(const nlohmann::json& json);

    friend bool operator==(const Shift3&, const Shift3&) = default;
};
