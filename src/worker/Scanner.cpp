#include "worker/Scanner.h"

#include "worker/Failure.h"
#include "worker/Walk.h"

#include <algorithm>
#include <sys/statvfs.h>

Scanner::Scanner(const DiskScope& scope, int progressFd) : Scanner(scope, progressFd, ScanSettings::fromEnvironment()) {}

Scanner::Scanner(const DiskScope& scope, int progressFd, ScanSettings settings)
    : scope_(scope), settings_(std::move(settings)), progress_(scope, progressFd)
{
}

void Scanner::walk()
{
    for (const std::string& root : scope_.roots())
        walkRoot(root);
    // Threads look at the scope at intervals; a root replaced since the last look is caught here.
    if (!scope_.valid())
        throw Failure("The selected disk was disconnected or replaced.");
}

void Scanner::walkRoot(const std::string& root)
{
    struct statvfs fs;
    if (statvfs(root.c_str(), &fs) == 0)
        estimate_ += fs.f_files - fs.f_ffree;
    const auto st = FileStatus::of(root);
    if (!st)
        throw Failure("Target volume is unavailable.");
    progress_.setDivisor(std::max<uint64_t>(estimate_, 1));
    Walk walk(scope_, settings_, progress_, root, *st);
    walk.run(ranking_);
    readFolders_ = walk.takeReadFolders();
}
