#include "app/about/Diagnostics.h"

#include "app/about/FolderOpener.h"
#include "app/platform/Bundle.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
#include <unistd.h>

namespace Diagnostics {

namespace {

// The volume checkers the worker may start; one is enough to verify some local volume.
const char* const diskCheckers[] = {"/usr/sbin/e2fsck", "/usr/sbin/xfs_scrub", "/usr/bin/btrfs"};

bool executable(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && ::access(QFile::encodeName(path).constData(), X_OK) == 0;
}

bool diskCheckerPresent()
{
    for (const char* checker : diskCheckers)
        if (executable(QString::fromLatin1(checker)))
            return true;
    return false;
}

bool fileManagerOnBus()
{
    const QString service = QStringLiteral("org.freedesktop.FileManager1");
    QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface();
    if (!bus)
        return false;
    return bus->isServiceRegistered(service).value() || bus->activatableServiceNames().value().contains(service);
}

bool loadable(const QString& path)
{
    void* library = dlopen(QFile::encodeName(path).constData(), RTLD_LAZY | RTLD_LOCAL);
    if (!library)
        return false;
    dlclose(library);
    return true;
}

QStringList manifest(const QString& resources)
{
    QFile file(resources + QStringLiteral("/LinkedLibraries.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

Requirement library(const QString& path)
{
    const QString name = path.section(QLatin1Char('/'), -1);
    const QString detail = purposes().value(name, QStringLiteral("Supports linked system APIs"));
    return {name, detail, loadable(path)};
}

}

const QHash<QString, QString>& purposes()
{
    static const QHash<QString, QString> table {
        {QStringLiteral("libc.so.6"), QStringLiteral("Provides Linux system calls")},
        {QStringLiteral("libQt6Gui.so.6"), QStringLiteral("Handles native desktop windows")},
        {QStringLiteral("libQt6Core.so.6"), QStringLiteral("Manages files and URLs")},
        {QStringLiteral("libQt6Widgets.so.6"), QStringLiteral("Builds the app interface")},
        {QStringLiteral("libQt6DBus.so.6"), QStringLiteral("Reveals items in the file manager")},
        {QStringLiteral("libQt6Concurrent.so.6"), QStringLiteral("Supports background work queues")},
        {QStringLiteral("libQt6Svg.so.6"), QStringLiteral("Draws the app icon and symbols")},
        {QStringLiteral("libcrypto.so.3"), QStringLiteral("Hashes saved folder paths")},
        {QStringLiteral("libpam.so.0"), QStringLiteral("Authenticates protected file actions")},
        {QStringLiteral("libgio-2.0.so.0"), QStringLiteral("Finds apps and moves items to the Trash")},
        {QStringLiteral("libgobject-2.0.so.0"), QStringLiteral("Bridges desktop object types")},
        {QStringLiteral("libglib-2.0.so.0"), QStringLiteral("Provides shared system types")},
        {QStringLiteral("libstdc++.so.6"), QStringLiteral("Supports the C++ language runtime")},
        {QStringLiteral("libm.so.6"), QStringLiteral("Supports floating point operations")},
        {QStringLiteral("libgcc_s.so.1"), QStringLiteral("Supports error unwinding")},
    };
    return table;
}

QList<Requirement> check(const QString& resources)
{
    QList<Requirement> rows {
        {QStringLiteral("Native scan worker"), QStringLiteral("Scans selected disk entries"),
         executable(resources + QStringLiteral("/../Helpers/delver"))},
        {QStringLiteral("diskutil"), QStringLiteral("Verifies local disk volumes"), diskCheckerPresent()},
        {QStringLiteral("Finder"), QStringLiteral("Reveal files and folders"), fileManagerOnBus() || folderOpenerPresent()},
    };
    const QStringList libraries = manifest(resources);
    if (libraries.isEmpty())
        rows.append({QStringLiteral("Linked libraries manifest"), QStringLiteral("Lists linked system libraries"), false});
    for (const QString& path : libraries)
        rows.append(library(path));
    return rows;
}

std::optional<QString> resourcesFolder()
{
    const QString folder = Bundle::location() + QStringLiteral("/Contents/Resources");
    if (!QFileInfo(folder).isDir())
        return std::nullopt;
    return folder;
}

}
