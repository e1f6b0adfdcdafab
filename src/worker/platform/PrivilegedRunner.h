#pragma once

#include "worker/platform/CommandOutcome.h"

#include <string>
#include <vector>

// Runs a command as administrator once the user has authenticated through the desktop.
class PrivilegedRunner {
public:
    // The exit status when the user dismissed the authentication prompt.
    static constexpr int cancelled = 126;
    // The exit status when authorization could not be obtained.
    static constexpr int notAuthorized = 127;

    virtual ~PrivilegedRunner() = default;
    virtual bool available() const = 0;
    // The command's combined output and status, or cancelled / notAuthorized.
    virtual CommandOutcome run(const std::vector<std::string>& command) = 0;
};
