#include "worker/platform/PkexecRunner.h"

#include "worker/platform/CommandRun.h"

#include <unistd.h>

PkexecRunner::PkexecRunner(std::string program)
    : program_(std::move(program))
{
}

bool PkexecRunner::available() const
{
    return access(program_.c_str(), X_OK) == 0;
}

CommandOutcome PkexecRunner::run(const std::vector<std::string>& command)
{
    std::vector<std::string> line {program_};
    line.insert(line.end(), command.begin(), command.end());
    return CommandRun::combined(line);
}
