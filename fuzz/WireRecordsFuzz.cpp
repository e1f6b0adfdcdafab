#include "shared/Problem.h"
#include "shared/Wire.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

// A record that decodes encodes to text that decodes to the same record.
template <typename Record, typename Same>
void roundTrip(std::string_view text, Same same)
{
    try {
        const Record record = Wire::parse(text).template get<Record>();
        const Record again = Wire::parse(Wire::serialize(record)).template get<Record>();
        if (!same(record, again))
            std::abort();
    } catch (const Problem&) {
    } catch (const std::exception&) {
        // Only the decoders' own errors may come out of them.
        std::abort();
    }
}

}

// The first byte picks the record the application reads from the worker's output.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
    case 0:
        roundTrip<Tick>(text, [](const Tick& a, const Tick& b) { return a == b; });
        break;
    case 1:
        roundTrip<Scan>(text, [](const Scan& a, const Scan& b) {
            return a.rows == b.rows && a.count == b.count && a.errors == b.errors && a.usage == b.usage
                   && a.report == b.report;
        });
        break;
    case 2:
        roundTrip<ResultInfo>(text, [](const ResultInfo& a, const ResultInfo& b) {
            return a.before == b.before && a.after == b.after && a.removed == b.removed && a.deleted == b.deleted
                   && a.messages == b.messages && a.reportIncomplete == b.reportIncomplete;
        });
        break;
    default:
        roundTrip<Verification>(text,
                                [](const Verification& a, const Verification& b) { return a.ok == b.ok && a.report == b.report; });
    }
    return 0;
}
