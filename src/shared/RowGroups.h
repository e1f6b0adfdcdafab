#pragma once

#include <array>
#include <string_view>

// The groups a row can belong to, as the worker ranks them and the scanner offers them. A
// selectable group is its plain group's label after `selectablePrefix`.
namespace RowGroups {
inline constexpr std::string_view allFiles = "All files";
inline constexpr std::string_view media = "Video & audio";
inline constexpr std::string_view selectablePrefix = "Selectable: ";
inline constexpr std::array<std::string_view, 4> labels
    = {allFiles, media, "Selectable: All files", "Selectable: Video & audio"};
}
