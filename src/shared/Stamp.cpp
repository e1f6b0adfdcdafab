#include "shared/Stamp.h"

#include <algorithm>

namespace {

bool decimal(const std::string& text)
{
    const auto digits = text.begin() + (text.size() > 1 && text.front() == '-' ? 1 : 0);
    return digits != text.end() && std::all_of(digits, text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}

Stamp Stamp::of(const FileStatus& st)
{
    return {std::to_string(st.device),           std::to_string(st.inode),        std::to_string(st.size),
            std::to_string(st.mtimeSeconds),     std::to_string(st.mtimeNanoseconds),
            std::to_string(st.ctimeSeconds),     std::to_string(st.ctimeNanoseconds)};
}

Stamp Stamp::fromParts(const std::vector<std::string>& parts)
{
    if (parts.size() != 7)
        return {};
    return {parts[0], parts[1], parts[2], parts[3], parts[4], parts[5], parts[6]};
}

std::vector<std::string> Stamp::parts() const
{
    return {device, inode, size, mtimeSeconds, mtimeNanoseconds, ctimeSeconds, ctimeNanoseconds};
}

bool Stamp::wellFormed() const
{
    const std::vector<std::string> texts = parts();
    return std::all_of(texts.begin(), texts.end(), decimal);
}

bool Stamp::sameContent(const Stamp& other) const
{
    return device == other.device && inode == other.inode && size == other.size && mtimeSeconds == other.mtimeSeconds
           && mtimeNanoseconds == other.mtimeNanoseconds;
}
