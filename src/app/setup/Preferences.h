#pragma once

#include "DiskScope.h"

#include <QString>

// The last choices, kept between launches in the user's preferences.
namespace Preferences {
bool includeCloud();
QString storagePath();
QString installFolder();
void setReadOnlyMode(bool readOnly);
// Remembers the choices of a session that starts now.
void rememberSession(const DiskScope& scope, const QString& installFolder);
}
