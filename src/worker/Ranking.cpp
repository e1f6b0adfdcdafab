#include "worker/Ranking.h"

#include "shared/Paths.h"
#include "worker/Policy.h"

#include <algorithm>

namespace {

// The audio and video extensions, sorted for binary search.
constexpr std::array<std::string_view, 49> mediaExtensions = {
    "3g2", "3gp", "aac", "ac3", "aif", "aifc", "aiff", "alac", "amr", "ape", "au", "avi", "caf",
    "dts", "dv", "flac", "flv", "hevc", "m2ts", "m2v", "m4a", "m4b", "m4p", "m4v", "mid", "midi",
    "mka", "mkv", "mov", "mp2", "mp3", "mp4", "mpeg", "mpg", "mts", "mxf", "oga", "ogg", "ogv",
    "opus", "snd", "ts", "vob", "wav", "wave", "webm", "wma", "wmv", "wv",
};

bool before(const Ranking::Entry& a, const Ranking::Entry& b)
{
    return a.size != b.size ? a.size > b.size : a.path < b.path;
}

}

bool Ranking::isMedia(std::string_view name)
{
    const std::string_view extension = Paths::extension(name);
    char lowered[8];
    if (extension.empty() || extension.size() > sizeof lowered)
        return false;
    for (size_t i = 0; i < extension.size(); ++i)
        lowered[i] = static_cast<char>(extension[i] >= 'A' && extension[i] <= 'Z' ? extension[i] - 'A' + 'a' : extension[i]);
    return std::binary_search(mediaExtensions.begin(), mediaExtensions.end(), std::string_view(lowered, extension.size()));
}

unsigned Ranking::accepting(bool media, int64_t size, std::string_view path) const
{
    unsigned mask = 0;
    for (size_t index = 0; index < groupCount; ++index) {
        const bool candidate = media || index == 0 || index == 2;
        if (!candidate)
            continue;
        const std::vector<Entry>& group = groups_[index];
        if (group.size() < capacity || size > group.back().size || (size == group.back().size && path < group.back().path))
            mask |= 1u << index;
    }
    return mask;
}

unsigned Ranking::acceptingFile(std::string_view name, int64_t size, std::string_view path) const
{
    constexpr unsigned mediaGroups = 0b1010;
    const unsigned mask = accepting(true, size, path);
    return (mask & mediaGroups) && !isMedia(name) ? mask & ~mediaGroups : mask;
}

void Ranking::add(unsigned accepting, const Entry& entry)
{
    for (size_t index = 0; index < groupCount; ++index) {
        const bool selectableOnly = index >= 2;
        if (!(accepting & (1u << index)) || (selectableOnly && entry.policy == Worker::Policy::isProtected))
            continue;
        keep(index, entry);
    }
}

void Ranking::absorb(const Ranking& other)
{
    for (size_t index = 0; index < groupCount; ++index)
        for (const Entry& entry : other.groups_[index])
            keep(index, entry);
}

void Ranking::keep(size_t index, const Entry& entry)
{
    std::vector<Entry>& group = groups_[index];
    const auto place = std::upper_bound(group.begin(), group.end(), entry, before);
    if (place - group.begin() >= static_cast<std::ptrdiff_t>(capacity))
        return;
    group.insert(place, entry);
    if (group.size() > capacity)
        group.pop_back();
}
