// Moves each given item to the Trash as the application does, within the scope of the home
// folder: for checking that the desktop's own tools read, restore and empty what it wrote.
#include "app/trash/FreedesktopTrash.h"
#include "shared/DiskScope.h"
#include "shared/Problem.h"
#include "shared/platform/HomeFolder.h"

#include <cstdio>

int main(int argc, char** argv)
{
    try {
        const std::string home = HomeFolder::path();
        const DiskScope scope(home, false, home + "/Library/Application Support/tallyroom");
        for (int i = 1; i < argc; ++i)
            FreedesktopTrash::move(argv[i], *FileStatus::of(argv[i]), scope);
    } catch (const Problem& problem) {
        std::fprintf(stderr, "%s\n", problem.description().c_str());
        return 1;
    }
    return 0;
}
