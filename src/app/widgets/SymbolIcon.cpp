#include "app/widgets/SymbolIcon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace SymbolIcon {

QPixmap drawn(const QString& fallback, const QColor& colour, int size, qreal devicePixelRatio)
{
    const int pixels = qRound(size * devicePixelRatio);
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QStringLiteral(":/icons/%1.svg").arg(fallback));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    // The drawings are black on transparent: keep their shape, take the colour.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), colour);
    painter.end();
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QIcon bundled(const QString& name)
{
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(name));
}

QIcon themed(const QString& themeName, const QString& fallback)
{
    return QIcon::fromTheme(themeName, bundled(fallback));
}

QIcon named(const QString& themeName, const QString& fallback, const QColor& colour)
{
    if (QIcon::hasThemeIcon(themeName))
        return QIcon::fromTheme(themeName);
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64})
        icon.addPixmap(drawn(fallback, colour, size, 1.0));
    return icon;
}

}
