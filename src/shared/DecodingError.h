#pragma once

#include "shared/Problem.h"

// Data that does not have the expected shape.
class DecodingError : public Problem {
public:
    explicit DecodingError(const std::string& detail)
        : Problem("The data couldn’t be read because it isn’t in the correct format. (" + detail + ")")
    {
    }
};
