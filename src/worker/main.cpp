#include "worker/Worker.h"

int main(int argc, char** argv)
{
    return Worker::main(argc, argv);
}
