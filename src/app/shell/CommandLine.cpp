#include "app/shell/CommandLine.h"

#include "app/platform/Bundle.h"
#include "app/widgets/ReleaseTitle.h"

#include <QDir>
#include <QRegularExpression>
#include <QUrl>

namespace {

QString seeHelp(const QString& problem)
{
    return QStringLiteral("tallyroom: ") + problem + QStringLiteral("; see 'tallyroom --help'.");
}

bool looksLikeUri(const QString& argument)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    return scheme.match(argument).hasMatch();
}

// A path as given, or the local path of a file:// URI as file managers pass it.
std::optional<QString> folderFrom(const QString& argument, const QString& workingFolder)
{
    if (!looksLikeUri(argument))
        return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(argument));
    const QUrl url(argument, QUrl::StrictMode);
    const bool local = url.isValid() && url.isLocalFile()
                       && (url.host().isEmpty() || url.host() == QLatin1String("localhost"));
    if (!local)
        return std::nullopt;
    return QDir::cleanPath(url.path(QUrl::FullyDecoded));
}

}

CommandLine CommandLine::parse(const QStringList& arguments, const QString& workingFolder)
{
    CommandLine command;
    const auto fail = [&command](const QString& problem) {
        command.action = Action::usageError;
        command.error = seeHelp(problem);
        return command;
    };
    bool options = true;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (options && argument == QLatin1String("--")) {
            options = false;
        } else if (options && (argument == QLatin1String("--help") || argument == QLatin1String("-h"))) {
            command.action = Action::help;
            return command;
        } else if (options && argument == QLatin1String("--version")) {
            command.action = Action::version;
            return command;
        } else if (options && argument == QLatin1String("--selected-disk")) {
            // Only the first one counts; a missing value leaves setup on screen.
            if (i + 1 < arguments.size() && !command.selectedDisk)
                command.selectedDisk = arguments[i + 1];
            ++i;
        } else if (options && argument.size() > 1 && argument.startsWith(QLatin1Char('-'))) {
            return fail(QStringLiteral("unknown option '") + argument + QLatin1Char('\''));
        } else if (argument.isEmpty()) {
            return fail(QStringLiteral("the folder name is empty"));
        } else if (command.folder) {
            return fail(QStringLiteral("only one folder can be opened at a time"));
        } else {
            command.folder = folderFrom(argument, workingFolder);
            if (!command.folder)
                return fail(QLatin1Char('\'') + argument + QStringLiteral("' is not a local folder"));
        }
    }
    return command;
}

QString CommandLine::usage()
{
    return QStringLiteral(
        "Usage: tallyroom [FOLDER]\n"
        "       tallyroom --help | --version\n"
        "\n"
        "Finds the largest files on a disk or folder, deletes the reviewed ones and shows\n"
        "folders as a 3D graph.\n"
        "\n"
        "  FOLDER                 open setup with this folder chosen as the disk to scan;\n"
        "                         a path, or a file:// URI as file managers pass it\n"
        "  --selected-disk SCOPE  start a session on SCOPE, the Base64 text of a disk scope's\n"
        "                         JSON, as setup hands it to the installed copy\n"
        "  -h, --help             show this help and exit\n"
        "  --version              show the version and exit\n");
}

QString CommandLine::version()
{
    return QStringLiteral("tallyroom ") + bundleVersion(Bundle::location()) + QLatin1Char('\n');
}
