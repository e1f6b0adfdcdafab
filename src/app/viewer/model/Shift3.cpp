#include "app/viewer/model/Shift3.h"

#include "shared/JsonFields.h"

nlohmann::ordered_json Shift3::toJson() const
{
    return {{"x", x}, {"y", y}, {"z", z}};
}

Shift3 Shift3::fromJson(const nlohmann::json& json)
{
    JsonFields::object(json);
    return {JsonFields::number(JsonFields::required(json, "x"), "x"),
            JsonFields::number(JsonFields::required(json, "y"), "y"),
            JsonFields::number(JsonFields::required(json, "z"), "z")};
}
