#include "app/session/Preferences.h"

#include "InstallSafety.h"
#include "app/session/SessionDisk.h"

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

}

namespace Preferences {

bool includeCloud()
{
    return QSettings().value(includeCloudKey, false).toBool();
}

QString storagePath()
{
    return QSettings().value(storagePathKey, SessionDisk::defaultData()).toString();
}

QString defaultInstallFolder()
{
    return QString::fromStdString(InstallSafety::home()) + QStringLiteral("/Applications");
}

QString installFolder()
{
    return QSettings().value(installFolderKey, defaultInstallFolder()).toString();
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
    return QSettings().value(fullViewKey, false).toBool();
}

void setFullView(bool full)
{
    QSettings().setValue(fullViewKey, full);
}

std::optional<QString> creditChecksum(const QString& version)
{
    const QVariant kept = QSettings().value(creditChecksumKey(version));
    if (kept.typeId() != QMetaType::QString)
        return std::nullopt;
    return kept.toString();
}

void setCreditChecksum(const QString& version, const QString& checksum)
{
    QSettings().setValue(creditChecksumKey(version), checksum);
}

}
