#include "app/session/Preferences.h"

#include "app/session/SessionDisk.h"
#include "shared/InstallSafety.h"

#include "app/session/SettingsFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutex>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>

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

QMutex& settingsLock()
{
    static QMutex lock;
    return lock;
}

SettingsFile& settingsFile()
{
    static SettingsFile file(Preferences::settingsPath());
    return file;
}

// QSettings reads and writes its format only at a path of its own choosing, which may follow
// links and wait on pipes; so it works on a private copy of the bytes that SettingsFile read.
QString workingCopy()
{
    static const QTemporaryDir folder;
    static const QString path = folder.isValid() ? folder.filePath(QStringLiteral("settings.conf")) : QString();
    return path;
}

// Runs `use` on the settings as the file holds them now; with `save`, what `use` changed is
// written back through SettingsFile.
void withSettings(const std::function<void(QSettings&)>& use, bool save)
{
    const QMutexLocker locker(&settingsLock());
    QFile copy(workingCopy());
    if (!copy.open(QIODevice::WriteOnly | QIODevice::Truncate) || copy.write(settingsFile().read()) < 0)
        return;
    copy.close();
    QSettings settings(copy.fileName(), QSettings::IniFormat);
    use(settings);
    if (!save)
        return;
    settings.sync();
    if (settings.status() == QSettings::NoError && copy.open(QIODevice::ReadOnly))
        settingsFile().write(copy.readAll());
}

QVariant storedValue(const QString& key)
{
    QVariant value;
    withSettings([&](QSettings& settings) { value = settings.value(key); }, false);
    return value;
}

void store(const QString& key, const QVariant& value)
{
    withSettings([&](QSettings& settings) { settings.setValue(key, value); }, true);
}

// Anything may have edited the settings file, so a value is taken only when it is exactly what
// this program writes; otherwise the fallback stands.
bool flag(const QString& key, bool fallback)
{
    const QVariant stored = storedValue(key);
    if (stored.typeId() == QMetaType::Bool)
        return stored.toBool();
    if (stored.typeId() == QMetaType::QString && (stored.toString() == QLatin1String("true")
                                                  || stored.toString() == QLatin1String("false")))
        return stored.toString() == QLatin1String("true");
    return fallback;
}

std::optional<QString> text(const QString& key)
{
    const QVariant stored = storedValue(key);
    if (stored.typeId() != QMetaType::QString || stored.toString().contains(QChar(u'\0')))
        return std::nullopt;
    return stored.toString();
}

// The file holds text only, so a number written there reads back as text: a path must be
// absolute to count.
std::optional<QString> path(const QString& key)
{
    const auto stored = text(key);
    if (!stored || !stored->startsWith(u'/'))
        return std::nullopt;
    return stored;
}

}

namespace Preferences {

QString settingsPath()
{
    // Fixed at first use, as QSettings fixes its own.
    static const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/'
                                + QCoreApplication::organizationName() + u'/' + QCoreApplication::applicationName()
                                + QStringLiteral(".conf");
    return path;
}

std::optional<QString> takeNotice()
{
    const QMutexLocker locker(&settingsLock());
    return settingsFile().takeNotice();
}

bool includeCloud()
{
    return flag(includeCloudKey, false);
}

QString storagePath()
{
    return path(storagePathKey).value_or(SessionDisk::defaultData());
}

QString defaultInstallFolder()
{
    return QString::fromStdString(InstallSafety::home()) + QStringLiteral("/Applications");
}

QString installFolder()
{
    return path(installFolderKey).value_or(defaultInstallFolder());
}

void setReadOnlyMode(bool readOnly)
{
    store(readOnlyModeKey, readOnly);
}

void rememberSession(const DiskScope& scope, const QString& installFolder)
{
    withSettings(
        [&](QSettings& settings) {
            settings.setValue(includeCloudKey, scope.cloud());
            settings.setValue(storagePathKey, QString::fromStdString(scope.data()));
            settings.setValue(installFolderKey, installFolder);
            settings.setValue(readOnlyModeKey, scope.readOnly());
        },
        true);
}

bool fullView()
{
    return flag(fullViewKey, false);
}

void setFullView(bool full)
{
    store(fullViewKey, full);
}

std::optional<QString> creditChecksum(const QString& version)
{
    return text(creditChecksumKey(version));
}

void setCreditChecksum(const QString& version, const QString& checksum)
{
    store(creditChecksumKey(version), checksum);
}

}
