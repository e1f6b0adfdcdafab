#pragma once

#include "shared/DiskScope.h"

#include <QString>

#include <optional>

// The last choices, kept between launches in the user's preferences. Nothing else reads or
// writes the user's settings.
namespace Preferences {
// Where the settings are kept, in the format QSettings gives them on this system.
QString settingsPath();
// What was wrong with the settings file since the last call: set aside, unreadable, unsaved.
std::optional<QString> takeNotice();
bool includeCloud();
QString storagePath();
// home + "/Applications": where the copy goes unless the user chooses another folder.
QString defaultInstallFolder();
QString installFolder();
void setReadOnlyMode(bool readOnly);
// Remembers the choices of a session that starts now.
void rememberSession(const DiskScope& scope, const QString& installFolder);
// Whether the viewer shows every item of a folder rather than a preview.
bool fullView();
void setFullView(bool full);
// The published disk image's checksum kept for a version, unchecked.
std::optional<QString> creditChecksum(const QString& version);
void setCreditChecksum(const QString& version, const QString& checksum);
}
