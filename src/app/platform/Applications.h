#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The desktop's registry of applications that open a file. An application is named by the
// path of its desktop entry.
class Applications {
public:
    virtual ~Applications() = default;

    virtual std::optional<QString> defaultFor(const QString& file) = 0;
    virtual QStringList allFor(const QString& file) = 0;
    virtual QString displayName(const QString& application) = 0;
    // Opens the file with the application; the reason when it could not.
    virtual std::optional<QString> open(const QString& file, const QString& application) = 0;
};
