#pragma once

#include <QString>

class DesktopIntegration;

// The first-launch installation: a verified copy of the running bundle in the chosen folder,
// made findable on the desktop.
namespace AppInstaller {
// Installs the bundle into the folder and registers the installed copy with the desktop;
// returns the copy's path. The default folder is created (0755) when it is the one chosen and
// missing. Throws Problem.
QString install(const QString& source, const QString& destination, DesktopIntegration& desktop);
}
