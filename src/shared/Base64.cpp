#include "Base64.h"

#include <openssl/evp.h>

namespace {

bool inAlphabet(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

bool wellFormed(std::string_view text)
{
    if (text.size() % 4 != 0)
        return false;
    size_t padding = 0;
    while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=')
        ++padding;
    for (size_t i = 0; i < text.size() - padding; ++i)
        if (!inAlphabet(text[i]))
            return false;
    return true;
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
    size_t padding = 0;
    while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=')
        ++padding;
    out.resize(static_cast<size_t>(written) - padding);
    return out;
}

}
