#include "app/setup/AppInstaller.h"

#include "app/platform/Bundle.h"
#include "app/platform/DesktopIntegration.h"
#include "app/session/Preferences.h"
#include "shared/InstallSafety.h"
#include "shared/Problem.h"
#include "shared/platform/UniqueFd.h"

#include <QDir>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Makes home/Applications when it is missing. Whatever already has that name is left as it
// is; the installation's own checks judge it.
void createDefaultFolder()
{
    const UniqueFd home(open(InstallSafety::home().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!home || mkdirat(home.get(), "Applications", 0755) != 0)
        return;
    // The umask may have narrowed the mode; the folder is meant to be readable by all.
    const UniqueFd created(openat(home.get(), "Applications", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (created)
        fchmod(created.get(), 0755);
}

}

namespace AppInstaller {

QString install(const QString& source, const QString& destination, DesktopIntegration& desktop)
{
    const auto version = Bundle::shortVersion(source);
    if (!version)
        throw Problem("Missing app version.");
    if (QDir::cleanPath(destination) == Preferences::defaultInstallFolder()) {
        InstallSafety::validate(destination.toStdString(), false);
        createDefaultFolder();
    }
    const QString installed = QString::fromStdString(
        InstallSafety::install(source.toStdString(), destination.toStdString(), version->toStdString()));
    desktop.registerCopy(installed);
    return installed;
}

}
