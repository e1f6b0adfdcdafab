#include "app/viewer/model/SavedLayout.h"
#include "shared/DecodingError.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// A layout that decodes survives its own encoding unchanged.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const SavedLayout layout = SavedLayout::decoded(bytes);
        if (!(SavedLayout::decoded(layout.encoded()) == layout))
            std::abort();
    } catch (const DecodingError&) {
    } catch (const std::exception&) {
        std::abort();
    }
    return 0;
}
