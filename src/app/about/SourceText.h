#pragma once

#include <QString>

// The program's source listing shipped in the bundle's resources.
namespace SourceText {
// The running bundle's "Tallyroom Source.txt".
QString location();
// The file's text, or a sentence saying why it could not be read.
QString read(const QString& path);
}
