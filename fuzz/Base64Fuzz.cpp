#include "shared/Base64.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// Whatever decodes must be the one canonical text of its bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (const auto bytes = Base64::decode(text)) {
        if (Base64::encode(*bytes) != text)
            std::abort();
    }
    const std::string encoded = Base64::encode(text);
    const auto back = Base64::decode(encoded);
    if (!back || *back != text)
        std::abort();
    return 0;
}
