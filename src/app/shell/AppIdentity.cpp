#include "app/shell/AppIdentity.h"

#include "app/platform/FreedesktopIntegration.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace AppIdentity {

QIcon icon()
{
    QSvgRenderer renderer(QStringLiteral(":/icons/tallyroom.svg"));
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void apply()
{
    QGuiApplication::setDesktopFileName(FreedesktopIntegration::applicationId);
    QGuiApplication::setWindowIcon(icon());
}

}
