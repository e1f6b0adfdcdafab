#include "shared/PosixError.h"

#include <cstring>

PosixError::PosixError(int code)
    : Problem("The operation couldn’t be completed. " + std::string(std::strerror(code))), code_(code)
{
}
