#pragma once

#include <QString>

// One row of the dependency checks.
struct Requirement {
    QString name;
    QString detail;
    bool available = false;

    QString id() const { return detail + QLatin1Char('/') + name; }
};
