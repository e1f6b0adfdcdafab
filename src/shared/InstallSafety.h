#pragma once

#include <string>

// Which folders the program may use for its own files.
namespace InstallSafety {
// The standardized home folder, computed once.
const std::string& home();
// The user's cache folder: $XDG_CACHE_HOME when set and absolute, otherwise home + "/.cache".
std::string cacheFolder();
// home + "/Library/Application Support/tallyroom", computed once.
const std::string& defaultData();

// Checks a folder for use as the data folder (forData) or the installation folder. The data
// folder and its Reports and Saved Views, where they exist, must be this user's own and
// writable by nobody else.
// Throws TrashProblem, or PosixError when the file system cannot answer.
void validate(const std::string& path, bool forData);
// Checks every existing component of a path: ordinary folders only, no package on the way.
void checkDirectories(const std::string& path);

// The bundle's release hash: the digest of its seal, once the seal holds. Throws TrashProblem.
std::string releaseHash(const std::string& bundle);
// Installs a verified copy of the bundle as "tallyroom v<version>.app" in the destination
// folder and returns its path; never replaces anything and leaves no staging folder behind.
// Throws TrashProblem, or PosixError when the copy fails.
std::string install(const std::string& source, const std::string& destination, const std::string& version);
}
