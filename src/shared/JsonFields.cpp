#include "shared/JsonFields.h"

#include "shared/DecodingError.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace JsonFields {

const nlohmann::json& object(const nlohmann::json& json)
{
    if (!json.is_object())
        throw DecodingError("Expected a dictionary.");
    return json;
}

const nlohmann::json* optional(const nlohmann::json& json, const char* key)
{
    const auto found = json.find(key);
    return found == json.end() || found->is_null() ? nullptr : &*found;
}

const nlohmann::json& required(const nlohmann::json& json, const char* key)
{
    const auto found = json.find(key);
    if (found == json.end())
        throw DecodingError(std::string("No value for key “") + key + "”.");
    return *found;
}

std::string string(const nlohmann::json& json, const char* key)
{
    const nlohmann::json& value = required(json, key);
    if (!value.is_string())
        throw DecodingError(std::string("The value for key “") + key + "” is not a string.");
    const std::string& text = value.get_ref<const std::string&>();
    if (text.find('\0') != std::string::npos)
        throw DecodingError(std::string("The value for key “") + key + "” holds a NUL character.");
    return text;
}

std::vector<std::string> strings(const nlohmann::json& json, const char* key)
{
    const nlohmann::json& value = required(json, key);
    if (!value.is_array())
        throw DecodingError(std::string("The value for key “") + key + "” is not a list.");
    std::vector<std::string> texts;
    for (const nlohmann::json& item : value) {
        if (!item.is_string() || item.get_ref<const std::string&>().find('\0') != std::string::npos)
            throw DecodingError(std::string("The value for key “") + key + "” is not a list of texts.");
        texts.push_back(item.get<std::string>());
    }
    return texts;
}

bool boolean(const nlohmann::json& json, const char* key)
{
    const nlohmann::json& value = required(json, key);
    if (!value.is_boolean())
        throw DecodingError(std::string("The value for key “") + key + "” is not a boolean.");
    return value.get<bool>();
}

double number(const nlohmann::json& value, const char* key)
{
    if (!value.is_number())
        throw DecodingError(std::string("The value for key “") + key + "” is not a number.");
    return value.get<double>();
}

float single(const nlohmann::json& value, const char* key)
{
    const double wide = number(value, key);
    if (std::abs(wide) > std::numeric_limits<float>::max())
        throw DecodingError(std::string("The value for key “") + key + "” does not fit a single-precision number.");
    return static_cast<float>(wide);
}

double widened(float value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text - 1, value).ptr;
    *end = '\0';
    return std::strtod(text, nullptr);
}

}
