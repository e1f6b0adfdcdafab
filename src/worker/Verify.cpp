#include "worker/Verify.h"

#include "shared/Wire.h"
#include "shared/platform/Volumes.h"
#include "worker/Failure.h"
#include "worker/Output.h"
#include "worker/ReportFile.h"
#include "worker/VolumeVerifier.h"
#include "worker/platform/KernelRecords.h"
#include "worker/platform/PkexecRunner.h"
#include "worker/platform/VolumeChecker.h"

#include <nlohmann/json.hpp>

namespace Worker {

nlohmann::json verify(const DiskScope& scope)
{
    const Mount volume = Volumes::containing(scope.capacityPath());
    if (!volume.local())
        throw Failure("Verification is available for local volumes only.");
    const KernelRecords records(VolumeChecker::kernelRoot());
    PkexecRunner runner(VolumeChecker::privilegedRunner());
    const VolumeVerdict verdict = VolumeVerifier(records, runner).verify(volume, VolumeChecker::onlineCheck(volume));
    const ReportFile file = report(scope, "Volume verification ");
    Output::writeNewFile(file.folder.get(), file.name, verdict.report);
    return Verification {verdict.ok, file.path, verdict.checked, verdict.summary};
}

}
