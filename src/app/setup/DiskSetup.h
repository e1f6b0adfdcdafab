#pragma once

#include "VolumeEntry.h"
#include "platform/Mount.h"

#include <vector>

struct DiskSetup {
    // The volumes setup offers: the startup disk first, then every mounted volume that is
    // not hidden, remote ones only with cloud access.
    static std::vector<VolumeEntry> disks(bool includeCloud);
    // The same choice over a given mount table.
    static std::vector<VolumeEntry> disksFrom(const std::vector<Mount>& mounts, bool includeCloud);
};
