#include "app/scanner/ScannerIcons.h"

// Outside any namespace, as the resource's registration function is.
static void loadBundledIcons()
{
    Q_INIT_RESOURCE(scanner_icons);
}

namespace ScannerIcons {

QIcon viewer()
{
    static const bool loaded = (loadBundledIcons(), true);
    Q_UNUSED(loaded);
    return QIcon::fromTheme(QStringLiteral("view-3d"), QIcon(QStringLiteral(":/scanner/icons/viewer.svg")));
}

}
