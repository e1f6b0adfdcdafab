#pragma once

#include <string>
#include <string_view>

namespace Output {
// Writes all bytes, resuming after partial writes and interruptions. Throws PosixError.
void write(int fd, std::string_view bytes);
// Creates a new file with the bytes, never replacing or following anything that is there.
// Throws PosixError.
void writeNewFile(const std::string& path, std::string_view bytes);
}
