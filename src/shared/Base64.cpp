#include "shared/Base64.h"

#include <openssl/evp.h>

namespace {

bool inAlphabet(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

int valueOf(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    return c == '+' ? 62 : 63;
}

size_t paddingOf(std::string_view text)
{
    size_t padding = 0;
    while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=')
        ++padding;
    return padding;
}

// Only the one canonical text of some bytes: the bits that padding leaves over must be zero,
// so that no two texts decode to the same bytes.
bool wellFormed(std::string_view text)
{
    if (text.size() % 4 != 0)
        return false;
    const size_t padding = paddingOf(text);
    for (size_t i = 0; i < text.size() - padding; ++i)
        if (!inAlphabet(text[i]))
            return false;
    const int leftOverBits = padding == 2 ? 0x0F : padding == 1 ? 0x03 : 0;
    return padding == 0 || (valueOf(text[text.size() - padding - 1]) & leftOverBits) == 0;
}

}

namespace Base64 {

std::string encode(std::string_view bytes)
{
    std::string out(4 * ((bytes.size() + 2) / 3), '\0');
    const int written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                        reinterpret_cast<const unsigned char*>(bytes.data()),
                                        static_cast<int>(bytes.size()));
    out.resize(static_cast<size_t>(written));
    return out;
}

std::optional<std::string> decode(std::string_view text)
{
    if (!wellFormed(text))
        return std::nullopt;
    std::string out(3 * (text.size() / 4), '\0');
    const int written = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                        reinterpret_cast<const unsigned char*>(text.data()),
                                        static_cast<int>(text.size()));
    if (written < 0)
        return std::nullopt;
    // EVP_DecodeBlock counts padding as zero bytes.
    out.resize(static_cast<size_t>(written) - paddingOf(text));
    return out;
}

}
