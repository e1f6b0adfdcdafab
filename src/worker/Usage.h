#pragma once

#include <string>

// What delver says to a person who gives it an option instead of an operation.
namespace Usage {
// Writes the usage (--help, -h) or the version (--version) to standard output and returns 0;
// any other option gets a one-line error on standard error and 2.
int answer(const std::string& option);
}
