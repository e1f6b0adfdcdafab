#include "ReportFile.h"

#include "InstallSafety.h"
#include "Paths.h"
#include "PosixError.h"
#include "Uuid.h"

#include <cerrno>
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
    return Paths::child(scope.reports(), title + " " + timestamp() + " " + Uuid::random() + ".txt");
}

}
