#pragma once

#include "app/platform/Applications.h"

// A desktop with no application for anything.
class NoApplications : public Applications {
public:
    std::optional<QString> defaultFor(const QString&) override { return std::nullopt; }
    QStringList allFor(const QString&) override { return {}; }
    QString displayName(const QString& application) override { return application; }
    std::optional<QString> open(const QString&, const QString&) override { return std::nullopt; }
};
