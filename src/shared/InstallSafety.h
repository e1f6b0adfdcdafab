#pragma once

#include <string>

// Which folders the program may use for its own files.
namespace InstallSafety {
// The standardized home folder, computed once.
const std::string& home();
// home + "/Library/Application Support/tallyroom", computed once.
const std::string& defaultData();

// Checks a folder for use as the data folder (forData) or the installation folder.
// Throws TrashProblem, or PosixError when the file system cannot answer.
void validate(const std::string& path, bool forData);
// Checks every existing component of a path: ordinary folders only, no package on the way.
void checkDirectories(const std::string& path);
}
