#pragma once

#include "shared/platform/Mount.h"

#include <optional>
#include <string>
#include <vector>

namespace VolumeChecker {
// The command that checks a mounted volume without changing it, or nothing when its file
// system has no such checker. Its output is the report and exit status 0 means sound.
std::optional<std::vector<std::string>> commandFor(const Mount& mount);
}
