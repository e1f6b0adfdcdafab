#include "app/viewer/model/SavedLayout.h"

#include "shared/DecodingError.h"
#include "shared/JsonFields.h"

namespace {

std::map<QString, Shift3> offsetsFrom(const nlohmann::json& json)
{
    JsonFields::object(json);
    if (json.size() > SavedLayout::mostOffsets)
        throw DecodingError("The value for key “offsets” holds more offsets than a view has dots.");
    std::map<QString, Shift3> offsets;
    for (const auto& [path, shift] : json.items())
        offsets[QString::fromStdString(path)] = Shift3::fromJson(shift);
    return offsets;
}

std::array<float, 4> wheelFrom(const nlohmann::json& json)
{
    if (!json.is_array() || json.size() != 4)
        throw DecodingError("The value for key “wheel” is not an array of four numbers.");
    return {JsonFields::single(json[0], "wheel"), JsonFields::single(json[1], "wheel"),
            JsonFields::single(json[2], "wheel"), JsonFields::single(json[3], "wheel")};
}

}

QByteArray SavedLayout::encoded() const
{
    nlohmann::ordered_json shifts = nlohmann::ordered_json::object();
    for (const auto& [path, shift] : offsets)
        shifts[path.toStdString()] = shift.toJson();
    nlohmann::ordered_json json = {
        {"folder", folder.toStdString()},
        {"full", full},
        {"mod", mod},
        {"hidden", hidden},
        {"page", page},
        {"filter", filter.toStdString()},
        {"eye", eye.toJson()},
        {"offsets", shifts},
    };
    if (hand)
        json["hand"] = *hand;
    if (wheel) {
        nlohmann::ordered_json components = nlohmann::ordered_json::array();
        for (float component : *wheel)
            components.push_back(JsonFields::widened(component));
        json["wheel"] = components;
    }
    return QByteArray::fromStdString(json.dump());
}

SavedLayout SavedLayout::decoded(const QByteArray& bytes)
{
    const nlohmann::json json = nlohmann::json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (json.is_discarded())
        throw DecodingError("The given data was not valid JSON.");
    JsonFields::object(json);
    SavedLayout layout;
    layout.folder = QString::fromStdString(JsonFields::string(json, "folder"));
    layout.full = JsonFields::boolean(json, "full");
    layout.mod = JsonFields::boolean(json, "mod");
    layout.hidden = JsonFields::boolean(json, "hidden");
    layout.page = JsonFields::integer<int64_t>(json, "page");
    layout.filter = QString::fromStdString(JsonFields::string(json, "filter"));
    if (layout.filter.size() > longestFilter)
        throw DecodingError("The value for key “filter” is longer than a find text.");
    layout.eye = EyePose::fromJson(JsonFields::required(json, "eye"));
    layout.offsets = offsetsFrom(JsonFields::required(json, "offsets"));
    if (JsonFields::optional(json, "hand"))
        layout.hand = JsonFields::boolean(json, "hand");
    if (const nlohmann::json* wheel = JsonFields::optional(json, "wheel"))
        layout.wheel = wheelFrom(*wheel);
    return layout;
}
