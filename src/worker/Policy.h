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
// `parentFd` is the open folder that holds it: whether the user may change that folder is
// asked of the descriptor, since the path can be longer than the kernel takes.
std::string_view mode(const DiskScope& scope, std::string_view path, const FileStatus& st, int parentFd);
}
