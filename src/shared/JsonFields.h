#pragma once

#include "shared/DecodingError.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

// Strict readers for one key of a JSON object; each throws DecodingError naming the key.
namespace JsonFields {
const nlohmann::json& object(const nlohmann::json& json);
// The key's value, or none when it is missing or null.
const nlohmann::json* optional(const nlohmann::json& json, const char* key);
const nlohmann::json& required(const nlohmann::json& json, const char* key);
// A string without NUL characters.
std::string string(const nlohmann::json& json, const char* key);
// An array of such strings.
std::vector<std::string> strings(const nlohmann::json& json, const char* key);
bool boolean(const nlohmann::json& json, const char* key);
// An integer that T holds exactly.
template <typename T>
T integer(const nlohmann::json& json, const char* key);
double number(const nlohmann::json& value, const char* key);
// A single-precision number, refused when it does not fit one.
float single(const nlohmann::json& value, const char* key);
// The double whose shortest text is the float's own, so files read "0.42" rather than the
// float's full binary expansion.
double widened(float value);
}

template <typename T>
T JsonFields::integer(const nlohmann::json& json, const char* key)
{
    using Limits = std::numeric_limits<T>;
    const nlohmann::json& value = required(json, key);
    bool fits = false;
    if (value.is_number_unsigned()) {
        fits = value.get<uint64_t>() <= static_cast<uint64_t>(Limits::max());
    } else if (value.is_number_integer()) {
        const int64_t number = value.get<int64_t>();
        fits = number < 0 ? number >= static_cast<int64_t>(Limits::min())
                          : static_cast<uint64_t>(number) <= static_cast<uint64_t>(Limits::max());
    }
    if (!fits)
        throw DecodingError(std::string("The value for key “") + key + "” is not a suitable integer.");
    return value.get<T>();
}
