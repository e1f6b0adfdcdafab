#pragma once

#include <QIcon>

// The scanner window's icons: the desktop theme's where it has them, else bundled drawings.
namespace ScannerIcons {
QIcon viewer();
}
