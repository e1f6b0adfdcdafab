#pragma once

#include "shared/platform/UniqueFd.h"

#include <string>
#include <string_view>

// Files that the application places outside its bundle (desktop entry, icons). Every such
// file carries `marker`; a file without it belongs to someone else and is never replaced.
// All work goes through folder descriptors opened without following links.
namespace OwnedFiles {
inline constexpr std::string_view marker = "X-Tallyroom-Owned";

// Opens an existing folder, following links: the starting point the user configured.
// Throws PosixError.
UniqueFd openBase(const std::string& path);
// Opens the folder at `relative` below `parent`, creating missing components with `mode`.
// No component may be a link. Throws PosixError.
UniqueFd openFolder(int parent, std::string_view relative, unsigned mode);
// Opens `path`, creating it and its missing parents (0700) when it does not exist yet.
UniqueFd openOrCreateBase(const std::string& path);

// Puts `bytes` under `name` in the folder, atomically: a fresh file appears, or an earlier
// file of ours is swapped out whole. Throws Problem when something else occupies the name.
// `shownPath` names the place in messages.
void write(int folder, const std::string& name, const std::string& bytes, const std::string& shownPath);
// Whether the bytes carry the marker.
bool ours(std::string_view bytes);
}
