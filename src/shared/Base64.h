#pragma once

#include <optional>
#include <string>
#include <string_view>

// Standard alphabet with padding, no line breaks.
namespace Base64 {
std::string encode(std::string_view bytes);
// Strict: any character outside the alphabet, misplaced padding or a bad length is refused.
std::optional<std::string> decode(std::string_view text);
}
