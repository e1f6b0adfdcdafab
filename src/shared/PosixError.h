#pragma once

#include "shared/Problem.h"

// A failed system call, described in the platform's generic wording.
class PosixError : public Problem {
public:
    explicit PosixError(int code);

    int code() const noexcept { return code_; }

private:
    int code_;
};
