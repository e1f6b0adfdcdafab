// Writes the seal of an assembled bundle; run by the build after every change to it.
#include "shared/Problem.h"
#include "shared/platform/BundleSeal.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: sealbundle BUNDLE\n";
        return 2;
    }
    try {
        BundleSeal::write(argv[1]);
        return 0;
    } catch (const Problem& problem) {
        std::cerr << "sealbundle: " << problem.description() << '\n';
        return 1;
    }
}
