#include "shared/DecodingError.h"
#include "shared/DiskScope.h"
#include "shared/Problem.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// A scope that decodes encodes back to one that decodes equal, and carries no NUL.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const DiskScope scope = DiskScope::fromBase64(text);
        for (const std::string* field : {&scope.root(), &scope.name(), &scope.data()})
            if (field->find('\0') != std::string::npos)
                std::abort();
        if (!(DiskScope::fromBase64(scope.toBase64()) == scope))
            std::abort();
    } catch (const Problem&) {
    } catch (const std::exception&) {
        // Only the decoder's own errors may come out of it.
        std::abort();
    }
    return 0;
}
