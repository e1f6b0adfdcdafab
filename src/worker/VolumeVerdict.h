#pragma once

#include <string>

// The outcome of checking one volume: a verdict, or none when nothing could be checked.
struct VolumeVerdict {
    bool checked = false;
    bool ok = false;
    // What was found or why nothing could be checked; empty when a full check simply passed.
    std::string summary;
    // The report's text: the kernel's records, then the full check's output unchanged.
    std::string report;
};
