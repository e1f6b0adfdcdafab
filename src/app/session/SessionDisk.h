#pragma once

#include "shared/DiskScope.h"

#include <QString>
#include <QUuid>

#include <optional>

// The scope the running application works on, with its session-wide flags.
namespace SessionDisk {
// A copy of the current scope; safe from any thread.
std::optional<DiskScope> current();
// Swaps in a scope and renews the revision, even when the value is the same.
void setCurrent(const DiskScope& scope);
QUuid revision();
bool trashBlocked();
void setTrashBlocked(bool blocked);
// A current scope in Active Mode.
bool writable();
QString defaultData();
}
