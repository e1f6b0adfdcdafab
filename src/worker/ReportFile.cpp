#include "ReportFile.h"

#include "InstallSafety.h"
#include "Paths.h"
#include "PosixError.h"

#include <openssl/rand.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <sys/stat.h>

namespace {

std::string timestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc {};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H-%M-%SZ", &utc);
    return text;
}

std::string randomUuid()
{
    unsigned char bytes[16];
    if (RAND_bytes(bytes, sizeof bytes) != 1)
        throw PosixError(EIO);
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);
    char text[37];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8],
                  bytes[9], bytes[10], bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
    return text;
}

// mkdir -p with 0700 for every folder it creates.
void createFolders(const std::string& path)
{
    std::string prefix;
    Paths::forEachComponent(path, [&](std::string_view component) {
        prefix += '/';
        prefix += component;
        if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            throw PosixError(errno);
        return true;
    });
    const auto st = FileStatus::of(path);
    if (!st || !st->isDirectory())
        throw PosixError(ENOTDIR);
}

}

namespace Worker {

std::string report(const DiskScope& scope, const std::string& title)
{
    InstallSafety::validate(scope.data(), true);
    InstallSafety::checkDirectories(scope.reports());
    createFolders(scope.reports());
    return Paths::child(scope.reports(), title + " " + timestamp() + " " + randomUuid() + ".txt");
}

}
