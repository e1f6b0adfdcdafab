#pragma once

#include "shared/platform/Mount.h"
#include "worker/VolumeVerdict.h"
#include "worker/platform/KernelRecords.h"
#include "worker/platform/PrivilegedRunner.h"

#include <optional>
#include <string>
#include <vector>

// Judges a mounted volume by what the kernel has recorded about it and, where one exists, a
// full check run as administrator. A check that could not run is no verdict.
class VolumeVerifier {
public:
    VolumeVerifier(const KernelRecords& records, PrivilegedRunner& runner);
    VolumeVerdict verify(const Mount& mount, const std::optional<std::vector<std::string>>& onlineCheck) const;

private:
    VolumeVerdict fullCheck(const KernelRecord& record, const std::vector<std::string>& command) const;

    const KernelRecords& records_;
    PrivilegedRunner& runner_;
};
