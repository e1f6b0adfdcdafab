#include "worker/ScanSettings.h"

#include <charconv>
#include <cstdlib>
#include <cstring>

ScanSettings ScanSettings::fromEnvironment()
{
    ScanSettings settings;
    const char* text = std::getenv("DELVER_SCAN_THREADS");
    if (!text)
        return settings;
    unsigned value = 0;
    const char* end = text + std::strlen(text);
    const auto [rest, error] = std::from_chars(text, end, value);
    if (error == std::errc() && rest == end && value >= 1 && value <= maximumThreads)
        settings.threads = value;
    return settings;
}
