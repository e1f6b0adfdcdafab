#pragma once

#include "shared/RowGroups.h"
#include "shared/Stamp.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The ten largest files of each of four groups: all files, media files, and the same two
// restricted to files that may be selected for deletion.
class Ranking {
public:
    struct Entry {
        std::string path;
        int64_t size = 0;
        Stamp stamp;
        std::string_view policy;
    };

    static constexpr size_t groupCount = 4;
    static constexpr size_t capacity = 10;
    static constexpr std::array<std::string_view, groupCount> labels = RowGroups::labels;

    // True when the name's extension marks an audio or video file.
    static bool isMedia(std::string_view name);

    // Bit i is set when group i would take a file of this size and path. Allocates nothing.
    unsigned accepting(bool media, int64_t size, std::string_view path) const;
    // The same for a file with this name, whose extension is read only when a media group
    // would take the file: once those groups are full, most files are too small for them.
    unsigned acceptingFile(std::string_view name, int64_t size, std::string_view path) const;
    // Adds the entry to the accepting groups that take its policy.
    void add(unsigned accepting, const Entry& entry);
    // Takes in another ranking's entries, as if its files had been ranked here: rankings of
    // parts of a tree merge into the ranking of the whole.
    void absorb(const Ranking& other);

    const std::vector<Entry>& group(size_t index) const { return groups_[index]; }

private:
    void keep(size_t index, const Entry& entry);

    std::array<std::vector<Entry>, groupCount> groups_;
};
