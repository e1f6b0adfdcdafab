#pragma once

#include "worker/platform/PrivilegedRunner.h"

// polkit's pkexec, which shows the desktop's administrator prompt.
class PkexecRunner : public PrivilegedRunner {
public:
    explicit PkexecRunner(std::string program);
    bool available() const override;
    CommandOutcome run(const std::vector<std::string>& command) override;

private:
    std::string program_;
};
