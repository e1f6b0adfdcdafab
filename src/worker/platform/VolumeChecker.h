#pragma once

#include "shared/platform/Mount.h"

#include <optional>
#include <string>
#include <vector>

// The one table of paths and commands verification uses, so tests can link fakes instead.
namespace VolumeChecker {
// Where the kernel publishes what it records about block devices and file systems.
std::string kernelRoot();
// The program that runs a command as administrator after the desktop's authentication.
std::string privilegedRunner();
// The full check of a mounted volume that changes nothing, or nothing when its file system
// has no check that runs while mounted. Exit status 0 means sound.
std::optional<std::vector<std::string>> onlineCheck(const Mount& mount);
}
