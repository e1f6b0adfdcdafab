#include "app/viewer/ViewerIcons.h"

#include "app/widgets/SymbolIcon.h"

namespace ViewerIcons {

QIcon entry(SidebarModel::Kind kind)
{
    switch (kind) {
    case SidebarModel::folder:
        return SymbolIcon::themed(QStringLiteral("folder"), QStringLiteral("folder"));
    case SidebarModel::link:
        return SymbolIcon::themed(QStringLiteral("emblem-symbolic-link"), QStringLiteral("link"));
    case SidebarModel::file:
        break;
    }
    return SymbolIcon::themed(QStringLiteral("text-x-generic"), QStringLiteral("file"));
}

QIcon open()
{
    return SymbolIcon::themed(QStringLiteral("go-next"), QStringLiteral("open"));
}

// The icon theme names no raised hand.
QIcon hand()
{
    return SymbolIcon::bundled(QStringLiteral("hand"));
}

QIcon spin()
{
    return SymbolIcon::themed(QStringLiteral("object-rotate-right"), QStringLiteral("spin"));
}

}
