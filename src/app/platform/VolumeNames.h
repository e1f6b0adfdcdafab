#pragma once

#include "shared/platform/Mount.h"

#include <QHash>
#include <QString>

// The names the desktop shows for mounted volumes: the file system's label when it has one,
// otherwise GIO's name for the mount ("Filesystem root" for "/", the folder name elsewhere).
// A mount GIO does not know keeps its mount point as name.
class VolumeNames {
public:
    // Reads GIO's mount table once; safe on any thread.
    VolumeNames();

    QString of(const Mount& mount) const;

private:
    QHash<QString, QString> guessed_;
};
