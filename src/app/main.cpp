#include "app/auth/PamAuthenticator.h"
#include "app/platform/Bundle.h"
#include "app/shell/AppIdentity.h"
#include "app/shell/CommandLine.h"
#include "app/shell/TallyroomApp.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    return arguments;
}

int print(const QString& text, FILE* stream, int status)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    return status;
}

}

int main(int argc, char** argv)
{
    const CommandLine command = CommandLine::parse(argumentsOf(argc, argv), QDir::currentPath());
    if (command.action == CommandLine::Action::help)
        return print(CommandLine::usage(), stdout, 0);
    if (command.action == CommandLine::Action::version)
        return print(CommandLine::version(), stdout, 0);
    if (command.action == CommandLine::Action::usageError)
        return print(command.error + QLatin1Char('\n'), stderr, 2);

    // Every argument is read above; the toolkit gets none to interpret on its own.
    int toolkitArgc = 1;
    QApplication application(toolkitArgc, argv);
    QApplication::setOrganizationName(QStringLiteral("tallyroom"));
    QApplication::setApplicationName(QStringLiteral("tallyroom"));
    AppIdentity::apply();
    QApplication::setQuitOnLastWindowClosed(false);
    PamAuthenticator authenticator;
    TallyroomApp app(authenticator, Bundle::helper(QStringLiteral("delver")));
    app.launchWith(command);
    return QApplication::exec();
}
