#pragma once

#include <string>
#include <string_view>

namespace Output {
// Writes all bytes, resuming after partial writes and interruptions. Throws PosixError.
void write(int fd, std::string_view bytes);
// Creates a new file with the bytes in the open folder, never replacing or following anything
// that is there; a file it could not finish is taken away again. Throws PosixError.
void writeNewFile(int folder, const std::string& name, std::string_view bytes);
}
