#pragma once

#include "shared/Problem.h"

// A refusal that the program words itself; its description is the whole text.
class TrashProblem : public Problem {
public:
    explicit TrashProblem(std::string text) : Problem(std::move(text)) {}

    const std::string& text() const noexcept { return description(); }
};
