#pragma once

#include <string>
#include <string_view>

namespace Output {
// Creates a new file with the bytes in the open folder, never replacing or following anything
// that is there; a file it could not finish is taken away again. Throws PosixError.
void writeNewFile(int folder, const std::string& name, std::string_view bytes);
}
