#include "app/platform/FreedesktopIntegration.h"

#include "app/platform/OwnedFiles.h"
#include "shared/InstallSafety.h"
#include "shared/Problem.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

const QString FreedesktopIntegration::applicationId = QStringLiteral("tallyroom");

namespace {

// An argument of an Exec key: quoted, with the four reserved characters escaped, then written
// as a string value (which doubles every backslash once more). Percent signs are doubled.
QString execArgument(const QString& path)
{
    QString quoted;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}

QString stringValue(QString text)
{
    return text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
}

QByteArray readResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Problem("The installed copy lacks " + path.toStdString() + ".");
    return file.readAll();
}

void writeInto(const UniqueFd& base, const QString& baseShown, const QString& folder, const QString& name,
               const QByteArray& bytes)
{
    const UniqueFd target = OwnedFiles::openFolder(base.get(), folder.toStdString(), 0755);
    OwnedFiles::write(target.get(), name.toStdString(), bytes.toStdString(),
                      (baseShown + QLatin1Char('/') + folder + QLatin1Char('/') + name).toStdString());
}

void refreshDesktopDatabase(const QString& applications)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-desktop-database"));
    if (!tool.isEmpty())
        QProcess::execute(tool, {QStringLiteral("-q"), applications});
}

}

QString FreedesktopIntegration::dataHome()
{
    const QString configured = qEnvironmentVariable("XDG_DATA_HOME");
    if (QDir::isAbsolutePath(configured))
        return QDir::cleanPath(configured);
    return QString::fromStdString(InstallSafety::home()) + QStringLiteral("/.local/share");
}

QString FreedesktopIntegration::entryFor(const QString& templateText, const QString& executable)
{
    for (const QChar c : executable)
        if (c.category() == QChar::Other_Control)
            throw Problem("The installed copy's path cannot be written into a desktop entry.");
    QString entry = templateText;
    entry.replace(QStringLiteral("@EXEC@"), execArgument(executable));
    entry.replace(QStringLiteral("@TRYEXEC@"), stringValue(executable));
    return entry;
}

void FreedesktopIntegration::registerCopy(const QString& bundle)
{
    const QString resources = bundle + QStringLiteral("/Contents/Resources");
    const QString executable = bundle + QStringLiteral("/Contents/MacOS/tallyroom");
    const QString entry = entryFor(QString::fromUtf8(readResource(resources + QStringLiteral("/desktop-entry.in"))), executable);
    const QString home = dataHome();
    const UniqueFd base = OwnedFiles::openOrCreateBase(home.toStdString());

    // The icons go first, so the entry never names an icon that is not there yet.
    const QString icons = resources + QStringLiteral("/icons");
    QDirIterator found(icons, {applicationId + QStringLiteral(".png"), applicationId + QStringLiteral(".svg")}, QDir::Files,
                       QDirIterator::Subdirectories);
    int written = 0;
    while (found.hasNext()) {
        const QString file = found.next();
        const QString relative = QDir(icons).relativeFilePath(QFileInfo(file).path());
        writeInto(base, home, QStringLiteral("icons/") + relative, QFileInfo(file).fileName(), readResource(file));
        ++written;
    }
    if (written == 0)
        throw Problem("The installed copy lacks its icon.");
    writeInto(base, home, QStringLiteral("applications"), applicationId + QStringLiteral(".desktop"), entry.toUtf8());
    refreshDesktopDatabase(home + QStringLiteral("/applications"));
}
