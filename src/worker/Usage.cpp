#include "worker/Usage.h"

#include <cstdio>

namespace {

constexpr const char* usage =
    "Usage: delver OPERATION SCOPE\n"
    "       delver --help | --version\n"
    "\n"
    "Runs one disk operation for tallyroom and exits. SCOPE is the Base64 text of the JSON\n"
    "of the disk scope that tallyroom's setup built.\n"
    "\n"
    "Operations:\n"
    "  scan     rank the largest files of the scope; in Active Mode also write a report\n"
    "  delete   permanently delete the reviewed files of the request on standard input\n"
    "  verify   verify the scope's volume with the system's checker (Active Mode)\n"
    "\n"
    "Options:\n"
    "  -h, --help  show this help and exit\n"
    "  --version   show the version and exit\n"
    "\n"
    "Standard output carries progress lines and one JSON result; a failure is one sentence\n"
    "on standard error. Exit status: 0 on success, 1 on failure, 2 for a usage error.\n";

}

namespace Usage {

int answer(const std::string& option)
{
    if (option == "--help" || option == "-h")
        return std::fputs(usage, stdout) < 0 ? 1 : 0;
    if (option == "--version")
        return std::printf("delver %s\n", TALLYROOM_VERSION) < 0 ? 1 : 0;
    std::fprintf(stderr, "delver: unknown option '%s'; see 'delver --help'.\n", option.c_str());
    return 2;
}

}
