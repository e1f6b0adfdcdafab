// Prints the Base64 scope of a folder, for scripts that run the worker by hand.
// Usage: makescope ROOT DATA [readonly] [cloud]
#include "shared/DiskScope.h"
#include "shared/Problem.h"

#include <cstring>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::cerr << "usage: makescope ROOT DATA [readonly] [cloud]\n";
        return 2;
    }
    bool readOnly = false;
    bool cloud = false;
    for (int i = 3; i < argc; ++i) {
        readOnly = readOnly || std::strcmp(argv[i], "readonly") == 0;
        cloud = cloud || std::strcmp(argv[i], "cloud") == 0;
    }
    try {
        std::cout << DiskScope(argv[1], cloud, argv[2], readOnly).toBase64() << '\n';
        return 0;
    } catch (const Problem& problem) {
        std::cerr << problem.description() << '\n';
        return 1;
    }
}
