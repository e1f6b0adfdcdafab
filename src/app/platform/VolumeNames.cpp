// GIO first: its headers use a member named like a Qt keyword macro.
#include <gio/gunixmounts.h>

#include "app/platform/VolumeNames.h"

#include "shared/platform/Volumes.h"

VolumeNames::VolumeNames()
{
    GList* mounts = g_unix_mounts_get(nullptr);
    for (GList* item = mounts; item; item = item->next) {
        auto* entry = static_cast<GUnixMountEntry*>(item->data);
        char* name = g_unix_mount_guess_name(entry);
        guessed_.insert(QString::fromLocal8Bit(g_unix_mount_get_mount_path(entry)), QString::fromUtf8(name));
        g_free(name);
        g_unix_mount_free(entry);
    }
    g_list_free(mounts);
}

QString VolumeNames::of(const Mount& mount) const
{
    const QString label = QString::fromStdString(Volumes::label(mount));
    if (!label.isEmpty())
        return label;
    const QString point = QString::fromStdString(mount.mountPoint);
    const QString guessed = guessed_.value(point);
    return guessed.isEmpty() ? point : guessed;
}
