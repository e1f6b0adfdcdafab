#include "shared/ScopeError.h"

ScopeError::ScopeError(std::string domain, int code)
    : Problem("The operation couldn’t be completed. (" + domain + " error " + std::to_string(code) + ".)"),
      domain_(std::move(domain)),
      code_(code)
{
}
