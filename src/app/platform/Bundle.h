#pragma once

#include <QString>

#include <optional>

// The application bundle this process runs from: Contents/MacOS/tallyroom, two folders
// below the bundle.
namespace Bundle {
QString location();
// Contents/Helpers/<name> of the running bundle.
QString helper(const QString& name);
// CFBundleShortVersionString of a bundle's Info.plist, when present and a string.
std::optional<QString> shortVersion(const QString& bundle);
}
