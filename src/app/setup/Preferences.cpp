#include "Preferences.h"

#include "AppInstaller.h"
#include "SessionDisk.h"

#include <QSettings>

namespace {

const QString includeCloudKey = QStringLiteral("includeCloud");
const QString storagePathKey = QStringLiteral("storagePath");
const QString installFolderKey = QStringLiteral("installFolder");
const QString readOnlyModeKey = QStringLiteral("readOnlyMode");

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

QString installFolder()
{
    return QSettings().value(installFolderKey, AppInstaller::defaultFolder()).toString();
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

}
