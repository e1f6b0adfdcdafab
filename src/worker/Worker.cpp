#include "worker/Worker.h"

#include "shared/Base64.h"
#include "shared/DecodingError.h"
#include "shared/DiskScope.h"
#include "shared/PosixError.h"
#include "shared/Wire.h"
#include "shared/platform/ReadAll.h"
#include "shared/platform/WriteAll.h"
#include "worker/Failure.h"
#include "worker/Remove.h"
#include "worker/ScanOperation.h"
#include "worker/Verify.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <new>
#include <unistd.h>

namespace {

// Far more than any reviewed selection needs; a larger request is refused unread.
constexpr size_t requestLimit = 64u << 20;

std::string readRequest()
{
    const std::optional<std::string> request = readAll(STDIN_FILENO, requestLimit);
    if (!request)
        throw Failure("Invalid request.");
    return *request;
}

DiskScope decodeScope(int argc, char** argv)
{
    if (argc < 3)
        throw Failure("Choose a target disk first.");
    const auto bytes = Base64::decode(argv[2]);
    if (!bytes)
        throw Failure("Choose a target disk first.");
    return DiskScope::fromJson(Wire::parse(*bytes));
}

nlohmann::json perform(const std::string& operation, const DiskScope& scope)
{
    if (!scope.valid())
        throw Failure("Target disk is unavailable or has changed.");
    if (scope.readOnly() && operation != "scan")
        throw Failure("This action requires Active Mode.");
    if (operation == "scan")
        return Worker::scan(scope);
    if (operation == "delete")
        return Worker::remove(scope, readRequest());
    if (operation == "verify")
        return Worker::verify(scope);
    throw Failure("Unknown operation.");
}

int fail(const std::string& description)
{
    try {
        writeAll(STDERR_FILENO, description);
    } catch (const Problem&) {
        // Nowhere left to say it; the status still tells.
    }
    return 1;
}

}

namespace Worker {

int main(int argc, char** argv)
{
    try {
        const DiskScope scope = decodeScope(argc, argv);
        const nlohmann::json result = perform(argv[1], scope);
        writeAll(STDOUT_FILENO, Wire::serialize(result));
        return 0;
    } catch (const Problem& problem) {
        return fail(problem.description());
    } catch (const nlohmann::json::exception& error) {
        return fail(DecodingError(error.what()).description());
    } catch (const std::bad_alloc&) {
        return fail(PosixError(ENOMEM).description());
    } catch (const std::exception& error) {
        // Anything else still ends with a text and status 1, never an abort.
        return fail(error.what());
    }
}

}
