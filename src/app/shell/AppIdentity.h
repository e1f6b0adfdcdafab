#pragma once

#include <QIcon>

// How the desktop recognises the application: its icon on every window and the desktop
// file name that ties its windows to its menu entry.
namespace AppIdentity {
// The application icon, drawn from the bundled picture at the usual icon sizes.
QIcon icon();
void apply();
}
