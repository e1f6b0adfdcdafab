#pragma once

#include <string_view>

// Writes all bytes to the descriptor, resuming after partial writes and interruptions.
// Throws PosixError; a write that makes no progress counts as an I/O error.
void writeAll(int fd, std::string_view bytes);
