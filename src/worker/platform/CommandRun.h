#pragma once

#include "worker/platform/CommandOutcome.h"

#include <string>
#include <vector>

namespace CommandRun {
// Runs the command with standard output and standard error on one pipe, reads it to its
// end, then waits for the exit status. Throws PosixError when it cannot be started.
CommandOutcome combined(const std::vector<std::string>& command);
}
