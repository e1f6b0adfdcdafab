#include "worker/ReportFile.h"

#include "shared/InstallSafety.h"
#include "shared/Paths.h"
#include "shared/PosixError.h"
#include "shared/Uuid.h"
#include "shared/platform/FolderChain.h"
#include "worker/Seam.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
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

// mkdir -p with 0700 for every folder it creates, each folder opened from the one above it.
UniqueFd createFolders(const std::string& path)
{
    UniqueFd folder = FolderChain::openAbsolute("/");
    if (!folder)
        throw PosixError(errno);
    Paths::forEachComponent(path, [&](std::string_view component) {
        const std::string name(component);
        if (mkdirat(folder.get(), name.c_str(), 0700) != 0 && errno != EEXIST)
            throw PosixError(errno);
        UniqueFd next = FolderChain::open(folder.get(), name);
        if (!next)
            throw PosixError(errno);
        folder = std::move(next);
        return true;
    });
    return folder;
}

}

namespace Worker {

ReportFile report(const DiskScope& scope, std::string_view prefix)
{
    InstallSafety::validate(scope.data(), true);
    InstallSafety::checkDirectories(scope.reports());
    Seam::reach("report.checked");
    ReportFile file {createFolders(scope.reports()), std::string(prefix) + timestamp() + " " + Uuid::random() + ".txt", {}};
    file.path = Paths::child(scope.reports(), file.name);
    Seam::reach("report.opened");
    return file;
}

UniqueFd openReports(const DiskScope& scope)
{
    return FolderChain::openAbsolute(scope.reports());
}

}
