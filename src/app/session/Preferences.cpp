#include "app/session/Preferences.h"

#include "app/session/SessionDisk.h"
#include "shared/InstallSafety.h"

#include <QSettings>

namespace {

const QString includeCloudKey = QStringLiteral("includeCloud");
const QString storagePathKey = QStringLiteral("storagePath");
const QString installFolderKey = QStringLiteral("installFolder");
const QString readOnlyModeKey = QStringLiteral("readOnlyMode");
const QString fullViewKey = QStringLiteral("viewerFullMode");

QString creditChecksumKey(const QString& version)
{
    return QStringLiteral("publishedDMGMD5.v") + version;
}

// Anything may have edited the settings file, so a value is taken only when it is exactly what
// this program writes; otherwise the fallback stands.
bool flag(const QString& key, bool fallback)
{
    const QVariant stored = QSettings().value(key);
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    if (stored.typeId() == QMetaType::QString && (stored.toString() == QLatin1String("true")
                                                  || stored.toString() == QLatin1String("false")))
        return stored.toString() == QLatin1String("true");
    return fallback;
}

std::optional<QString> text(const QString& key)
{
    const QVariant stored = QSettings().value(key);
    if (stored.typeId() != QMetaType::QString || stored.toString().contains(QChar(u'\0')))
        return std::nullopt;
    return stored.toString();
}

}

namespace Preferences {

bool includeCloud()
{
    return flag(includeCloudKey, false);
}

QString storagePath()
{
    return text(storagePathKey).value_or(SessionDisk::defaultData());
}

QString defaultInstallFolder()
{
    return QString::fromStdString(InstallSafety::home()) + QStringLiteral("/Applications");
}

QString installFolder()
{
    return text(installFolderKey).value_or(defaultInstallFolder());
}

void setReadOnlyMode(bool readOnly)
{
    QSettings().setValue(readOnlyModeKey, readOnly);
}

void rememberSession(const DiskScope& scope, const QString& installFolder)
{
    QSettings settings;
    settings.setValue(includeCloudKey, scope.cloud());
    settings.setValue(storagePathKey, QString::fromStdString(scope.data()));
    settings.setValue(installFolderKey, installFolder);
    settings.setValue(readOnlyModeKey, scope.readOnly());
}

bool fullView()
{
    return flag(fullViewKey, false);
}

void setFullView(bool full)
{
    QSettings().setValue(fullViewKey, full);
}

std::optional<QString> creditChecksum(const QString& version)
{
    return text(creditChecksumKey(version));
}

void setCreditChecksum(const QString& version, const QString& checksum)
{
    QSettings().setValue(creditChecksumKey(version), checksum);
}

}
