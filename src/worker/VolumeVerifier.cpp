#include "worker/VolumeVerifier.h"

#include <unistd.h>

namespace {

std::string recordSection(const KernelRecord& record)
{
    return "Errors recorded by the kernel:\n" + record.text + "\n";
}

// A run that reached no verdict, opened by what the kernel's records said.
VolumeVerdict noVerdict(const KernelRecord& record, const std::string& why, std::string report)
{
    const std::string lead = record.state == KernelRecord::State::Clean
                                 ? "No errors are recorded for this volume, but the full check "
                                 : "The full check ";
    return {false, false, lead + why, std::move(report)};
}

std::string joined(const std::vector<std::string>& command)
{
    std::string line;
    for (const std::string& argument : command)
        line += (line.empty() ? "" : " ") + argument;
    return line;
}

}

VolumeVerifier::VolumeVerifier(const KernelRecords& records, PrivilegedRunner& runner)
    : records_(records)
    , runner_(runner)
{
}

VolumeVerdict VolumeVerifier::verify(const Mount& mount,
                                     const std::optional<std::vector<std::string>>& onlineCheck) const
{
    const KernelRecord record = records_.read(mount);
    if (record.state == KernelRecord::State::ErrorsRecorded)
        return {true, false, "The kernel has recorded errors on this volume.", recordSection(record)};
    if (onlineCheck)
        return fullCheck(record, *onlineCheck);
    if (record.state == KernelRecord::State::Clean)
        return {true, true, "No errors are recorded for this volume. A full check is not possible while it is mounted.",
                recordSection(record)};
    return {false, false, record.text, recordSection(record)};
}

VolumeVerdict VolumeVerifier::fullCheck(const KernelRecord& record, const std::vector<std::string>& command) const
{
    std::string report = recordSection(record);
    if (access(command.front().c_str(), X_OK) != 0)
        return noVerdict(record, "could not run: " + command.front() + " is not installed.", report);
    if (!runner_.available())
        return noVerdict(record, "could not run: administrator authentication (pkexec) is not installed.", report);
    const CommandOutcome outcome = runner_.run(command);
    report += "Full check: " + joined(command) + "\n" + outcome.output;
    if (outcome.status == PrivilegedRunner::cancelled)
        return noVerdict(record, "did not run: authentication was cancelled.", report);
    if (outcome.status == PrivilegedRunner::notAuthorized)
        return noVerdict(record, "did not run: you are not permitted to check this volume as administrator.", report);
    if (outcome.status == 0)
        return {true, true, "", report};
    return {true, false, "The full check found problems.", report};
}
