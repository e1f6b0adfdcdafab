#pragma once

#include <string>
#include <vector>

// One run of a built worker: its output streams and exit status.
struct WorkerRun {
    std::string out;
    std::string err;
    int status = -1;

    // Runs the program with the arguments, feeding it the input, with HOME set to home
    // (when not empty) on top of this process's environment.
    static WorkerRun of(const std::string& program, const std::vector<std::string>& arguments,
                        const std::string& input = {}, const std::string& home = {});
};
