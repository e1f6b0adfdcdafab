#pragma once

#include <string>
#include <string_view>

// Words a system call that failed for a reason of its own rather than because the disk
// changed: the kernel lacks the call, a filter or security module refuses it, or the
// permissions forbid it. Such a failure names the call and the path it was made on.
namespace Refusal {
// The entry is not what it was: gone, replaced by a link or a file, or on another mount.
bool meansChanged(int error);
// The call itself was refused, whatever it was made on: nothing else will work either.
bool ofTheCall(int error);
// "the system refused openat2 on /a/b (Function not implemented)", or
// "statx failed on /a/b (Permission denied)".
std::string cause(std::string_view call, std::string_view path, int error);
}
