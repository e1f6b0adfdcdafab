#pragma once

namespace Worker {
// Runs one operation as its command line asks and returns the exit status, 0 or 1.
int main(int argc, char** argv);
}
