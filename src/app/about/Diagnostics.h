#pragma once

#include "app/about/Requirement.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// What the application depends on, and whether each piece is present. Every check runs off
// the main thread: it reads files, asks the session bus and loads libraries.
namespace Diagnostics {
// Library file name → what the program uses it for.
const QHash<QString, QString>& purposes();
// The rows for a bundle's resources folder: worker, disk checker, file manager, then one per
// library of the folder's LinkedLibraries.txt.
QList<Requirement> check(const QString& resources);
// The running bundle's resources folder, when it has one.
std::optional<QString> resourcesFolder();
}
