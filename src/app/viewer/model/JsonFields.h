#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>

// Strict readers for one key of a JSON object; each throws DecodingError naming the key.
namespace JsonFields {
const nlohmann::json& object(const nlohmann::json& json);
// The key's value, or none when it is missing or null.
const nlohmann::json* optional(const nlohmann::json& json, const char* key);
const nlohmann::json& required(const nlohmann::json& json, const char* key);
std::string string(const nlohmann::json& json, const char* key);
bool boolean(const nlohmann::json& json, const char* key);
int64_t integer(const nlohmann::json& json, const char* key);
double number(const nlohmann::json& value, const char* key);
// A single-precision number, refused when it does not fit one.
float single(const nlohmann::json& value, const char* key);
// The double whose shortest text is the float's own, so files read "0.42" rather than the
// float's full binary expansion.
double widened(float value);
}
