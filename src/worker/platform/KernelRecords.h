#pragma once

#include "shared/platform/Mount.h"
#include "worker/platform/KernelRecord.h"

#include <string>

// Reads the error counters the kernel publishes under its sysfs root for ext2/3/4
// (fs/ext4/DEV) and btrfs (fs/btrfs/UUID/devinfo/*/error_stats). Any user may read them.
class KernelRecords {
public:
    explicit KernelRecords(std::string root);
    KernelRecord read(const Mount& mount) const;

private:
    KernelRecord ext4(const Mount& mount) const;
    KernelRecord btrfs(const Mount& mount) const;
    std::string blockName(int32_t device) const;

    std::string root_;
};
