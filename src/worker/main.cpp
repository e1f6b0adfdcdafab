#include "worker/Usage.h"
#include "worker/Worker.h"

int main(int argc, char** argv)
{
    // The application always passes an operation first; a leading dash is a person asking.
    if (argc >= 2 && argv[1][0] == '-')
        return Usage::answer(argv[1]);
    return Worker::main(argc, argv);
}
