#pragma once

#include <exception>

// A folder read that stopped because its task was cancelled; its partial result is gone.
class ReadCancelled : public std::exception {
public:
    const char* what() const noexcept override { return "The folder read was cancelled."; }
};
