#include "worker/Refusal.h"

#include <cerrno>
#include <cstring>

namespace Refusal {

bool meansChanged(int error)
{
    return error == ENOENT || error == ELOOP || error == ENOTDIR || error == EXDEV || error == ESTALE;
}

bool ofTheCall(int error)
{
    return error == ENOSYS || error == EPERM;
}

std::string cause(std::string_view call, std::string_view path, int error)
{
    const std::string reason = std::string(" on ") + std::string(path) + " (" + std::strerror(error) + ")";
    if (ofTheCall(error))
        return "the system refused " + std::string(call) + reason;
    return std::string(call) + " failed" + reason;
}

}
