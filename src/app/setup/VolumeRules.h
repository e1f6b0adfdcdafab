#pragma once

#include "app/setup/VolumeEntry.h"
#include "shared/platform/Mount.h"

#include <optional>
#include <vector>

class VolumeNames;

// Which mounted volumes setup offers as disks: the startup disk first, then every mount a
// person thinks of as a disk, remote ones only with cloud access.
namespace VolumeRules {

std::vector<VolumeEntry> offered(const std::vector<Mount>& mounts, bool includeCloud, const VolumeNames& names);
// System and pseudo file systems, and the system's own mount points.
bool hidden(const Mount& mount);
// The volume that holds a folder: its name and mount point.
std::optional<VolumeEntry> holding(const QString& folder);

}
