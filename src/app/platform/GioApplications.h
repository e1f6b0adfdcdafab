#pragma once

#include "app/platform/Applications.h"

// Applications as GIO knows them from the desktop entries and their MIME associations.
class GioApplications : public Applications {
public:
    std::optional<QString> defaultFor(const QString& file) override;
    QStringList allFor(const QString& file) override;
    QString displayName(const QString& application) override;
    std::optional<QString> open(const QString& file, const QString& application) override;
};
