#pragma once

#include <QString>

class DiskImage;

// The MD5 checksum of the disk image the application was opened from, as the footer
// shows it; computed once per version and then kept in the preferences.
namespace CreditChecksum {
// A kept value counts only as 32 lower-case hexadecimal digits.
bool plausible(const QString& checksum);
// The checksum, or the hint to open the app from its image. Reads the whole image: call it
// off the main thread.
QString load(const QString& version, const QString& bundle, DiskImage& images);
}
