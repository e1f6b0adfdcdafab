#pragma once

#include "shared/Problem.h"

// A failure the worker words itself.
class Failure : public Problem {
public:
    explicit Failure(std::string text) : Problem(std::move(text)) {}
};
