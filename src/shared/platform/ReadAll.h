#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Reads the descriptor to its end, handing on each chunk as it arrives and resuming after
// interruptions. Throws PosixError.
void readEach(int fd, const std::function<void(std::string_view)>& take);
// Everything up to the end; none when there is more than `limit` bytes, which are left unread.
// Throws PosixError.
std::optional<std::string> readAll(int fd, size_t limit);
