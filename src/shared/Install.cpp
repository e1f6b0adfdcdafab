#include "shared/InstallSafety.h"
#include "shared/Paths.h"
#include "shared/PosixError.h"
#include "shared/TrashProblem.h"
#include "shared/Uuid.h"
#include "shared/platform/BundleSeal.h"
#include "shared/platform/FileStatus.h"
#include "shared/platform/UniqueFd.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <stdio.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// Removes the staging folder and whatever is left in it when the installation ends.
class StagingFolder {
public:
    explicit StagingFolder(std::string path) : path_(std::move(path)) {}
    ~StagingFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

private:
    std::string path_;
};

void copyBundle(const std::string& source, const std::string& target)
{
    std::error_code error;
    fs::copy(source, target, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    if (error)
        throw PosixError(error.value());
}

}

namespace InstallSafety {

std::string releaseHash(const std::string& bundle)
{
    const auto st = FileStatus::of(bundle);
    const auto digest = st && st->isDirectory() && BundleSeal::valid(bundle) ? BundleSeal::digest(bundle) : std::nullopt;
    if (!digest)
        throw TrashProblem("This app could not be verified. Installation stopped.");
    return *digest;
}

std::string install(const std::string& source, const std::string& destination, const std::string& version)
{
    validate(destination, false);
    const UniqueFd folder(open(destination.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder)
        throw TrashProblem("Choose an existing, writable installation folder.");
    const std::string name = "tallyroom v" + version + ".app";
    const std::string target = Paths::child(destination, name);
    const std::string sourceHash = releaseHash(source);

    if (const auto existing = FileStatus::at(folder.get(), name.c_str())) {
        try {
            if (existing->isDirectory() && releaseHash(target) == sourceHash)
                return target;
        } catch (const TrashProblem&) {
            // Not a verified copy of this release: refused below.
        }
        throw TrashProblem("An existing item occupies " + target + ". Nothing was replaced.");
    }
    if (errno != ENOENT)
        throw TrashProblem("Cannot check the installation destination.");

    const std::string stagingName = ".tallyroom-" + Uuid::random();
    if (mkdirat(folder.get(), stagingName.c_str(), 0700) != 0)
        throw TrashProblem("Cannot create a private staging folder here.");
    const StagingFolder staging(Paths::child(destination, stagingName));
    const std::string staged = Paths::child(Paths::child(destination, stagingName), name);
    copyBundle(source, staged);
    if (releaseHash(staged) != sourceHash)
        throw TrashProblem("The copied app did not pass verification.");
    const std::string stagedRelative = stagingName + "/" + name;
    if (renameat2(folder.get(), stagedRelative.c_str(), folder.get(), name.c_str(), RENAME_NOREPLACE) != 0)
        throw TrashProblem("Could not install without replacing an existing item. Installation stopped.");
    return target;
}

}
