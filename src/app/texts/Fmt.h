#pragma once

#include <QString>

#include <cstdint>

// A byte count in decimal units (powers of 1000), worded by GLib as the file manager shows
// sizes: "0 bytes", "1 byte", "999 bytes", "123.5 kB", "1.2 MB". GLib joins the number and a
// unit with a no-break space.
QString fmt(int64_t bytes);
