#include "shared/platform/HomeFolder.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace HomeFolder {

std::string path()
{
    const char* env = std::getenv("HOME");
    if (env && env[0] == '/')
        return env;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

}
