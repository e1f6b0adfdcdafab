#pragma once

#include "shared/Problem.h"

// The viewer's own refusal to read a folder, known by its domain and code.
class DiskViewerError : public Problem {
public:
    static constexpr const char* domain = "DiskViewer";
    static constexpr int code = 1;

    DiskViewerError() : Problem("This folder is no longer available.") {}
};
