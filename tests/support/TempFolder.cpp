#include "TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

TempFolder::TempFolder()
{
    char pattern[] = "/tmp/tallyroom-test-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder()
{
    const std::string unlock = "chattr -R -i -a '" + path_ + "' >/dev/null 2>&1";
    if (std::system(unlock.c_str()) != 0) {
        // Nothing was locked, or chattr is missing; removal below says the rest.
    }
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}
