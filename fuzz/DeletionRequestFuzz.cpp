#include "shared/Problem.h"
#include "shared/Wire.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// The delete request through the decoder the worker reads it with: it refuses only with its
// own DecodingError, and what decodes encodes back to the same request, exact path bytes
// and stamps included.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const Deletion request = Wire::parse(text).get<Deletion>();
        const Deletion again = Wire::parse(Wire::serialize(request)).get<Deletion>();
        if (again.report != request.report || again.rows != request.rows || again.approved != request.approved)
            std::abort();
    } catch (const Problem&) {
    } catch (const std::exception&) {
        std::abort();
    }
    return 0;
}
