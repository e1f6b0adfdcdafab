#pragma once

#include <QString>

#include <cstdint>

// A byte count in decimal units (powers of 1000), in the adaptive style people know from
// their file manager: "Zero KB", "1 byte", "999 bytes", "123 KB", "1.2 MB", "1.23 GB".
QString fmt(int64_t bytes);
