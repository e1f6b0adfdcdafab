#include "app/viewer/model/EyePose.h"

#include "shared/JsonFields.h"

nlohmann::ordered_json EyePose::toJson() const
{
    nlohmann::ordered_json json = {
        {"yaw", JsonFields::widened(yaw)},
        {"pitch", JsonFields::widened(pitch)},
        {"radius", JsonFields::widened(radius)},
    };
    if (pan)
        json["pan"] = pan->toJson();
    return json;
}

EyePose EyePose::fromJson(const nlohmann::json& json)
{
    JsonFields::object(json);
    EyePose pose;
    pose.yaw = JsonFields::single(JsonFields::required(json, "yaw"), "yaw");
    pose.pitch = JsonFields::single(JsonFields::required(json, "pitch"), "pitch");
    pose.radius = JsonFields::single(JsonFields::required(json, "radius"), "radius");
    if (const nlohmann::json* pan = JsonFields::optional(json, "pan"))
        pose.pan = Shift3::fromJson(*pan);
    return pose;
}
