#include "app/viewer/ViewerIcons.h"

// The drawn icons live in a static library, whose resources are registered by hand.
int qInitResources_viewer_icons();

namespace {

QIcon bundled(const char* name)
{
    static const bool registered = qInitResources_viewer_icons() != 0;
    Q_UNUSED(registered);
    return QIcon(QStringLiteral(":/viewer/icons/") + QString::fromLatin1(name) + QStringLiteral(".svg"));
}

QIcon themed(const char* name, const char* fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(name), bundled(fallback));
}

}

namespace ViewerIcons {

QIcon entry(SidebarModel::Kind kind)
{
    switch (kind) {
    case SidebarModel::folder:
        return themed("folder", "folder");
    case SidebarModel::link:
        return themed("emblem-symbolic-link", "link");
    case SidebarModel::file:
        break;
    }
    return themed("text-x-generic", "file");
}

QIcon open()
{
    return themed("go-next", "open");
}

// The icon theme names no raised hand.
QIcon hand()
{
    return bundled("hand");
}

QIcon spin()
{
    return themed("object-rotate-right", "spin");
}

}
