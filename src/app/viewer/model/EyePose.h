#pragma once

#include "app/viewer/model/Shift3.h"

#include <nlohmann/json_fwd.hpp>

#include <optional>

// Where the camera is: angles and distance around its focus, which is the origin without a pan.
struct EyePose {
    float yaw = 0;
    float pitch = 0.42f;
    float radius = 26;
    std::optional<Shift3> pan;

    nlohmann::ordered_json toJson() const;
    // Throws DecodingError.
    static EyePose fromJson(const nlohmann::json& json);

    friend bool operator==(const EyePose&, const EyePose&) = default;
};
