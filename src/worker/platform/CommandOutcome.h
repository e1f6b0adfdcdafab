#pragma once

#include <string>

// What a finished command wrote to its standard output and error, in order, and its exit
// status (-1 when a signal ended it).
struct CommandOutcome {
    std::string output;
    int status = -1;
};
