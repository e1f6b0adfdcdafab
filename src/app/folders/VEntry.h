#pragma once

#include "shared/DiskScope.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// One item of a folder as the viewer shows it; its identity is its path.
struct VEntry {
    QString path;
    bool folder = false;
    bool link = false;
    // The item's own size field, never a total of what a folder holds.
    qint64 bytes = 0;

    const QString& id() const { return path; }
    // The scope's name for the scope's root, the last path component otherwise.
    QString title() const;
    // The same, against a scope already at hand, so long lists look the scope up once.
    QString titleWithin(const std::optional<DiskScope>& scope) const;
    // The last path component, as a view into the path.
    QStringView name() const;

    friend bool operator==(const VEntry&, const VEntry&) = default;
};
