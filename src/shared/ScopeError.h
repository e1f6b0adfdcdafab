#pragma once

#include "shared/Problem.h"

// An error known only by its domain text and code; its description names both, the way the
// platform describes errors it has no message for.
class ScopeError : public Problem {
public:
    static constexpr const char* unavailable = "Select an available disk or folder";
    static constexpr const char* needsCloud = "Enable cloud access to select this location";

    explicit ScopeError(std::string domain, int code = 1);

    const std::string& domain() const noexcept { return domain_; }
    int code() const noexcept { return code_; }

private:
    std::string domain_;
    int code_;
};
