#pragma once

#include "shared/DiskScope.h"

#include <string_view>

namespace Worker {
namespace Policy {
constexpr std::string_view normal = "normal";
constexpr std::string_view challenge = "challenge";
constexpr std::string_view isProtected = "protected";
}

// Whether a file may be deleted freely, only after the user authenticates, or never.
std::string_view mode(const DiskScope& scope, std::string_view path, const FileStatus& st);
}
