#include "app/about/StatusSymbol.h"

#include <QPainter>
#include <QPainterPath>

namespace StatusSymbol {

QColor colour(bool satisfied)
{
    return satisfied ? QColor(0x28, 0xa7, 0x45) : QColor(0xf0, 0x8a, 0x00);
}

QPixmap draw(bool satisfied, int size, qreal scale)
{
    QPixmap pixmap(QSize(size, size) * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal pen = size / 10.0;
    painter.setPen(QPen(colour(satisfied), pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QRectF ring = QRectF(0, 0, size, size).adjusted(pen, pen, -pen, -pen);
    painter.drawEllipse(ring);
    const QPointF c = ring.center();
    const qreal r = ring.width() / 2;
    if (satisfied) {
        QPainterPath tick;
        tick.moveTo(c + QPointF(-0.45 * r, 0.02 * r));
        tick.lineTo(c + QPointF(-0.12 * r, 0.38 * r));
        tick.lineTo(c + QPointF(0.48 * r, -0.35 * r));
        painter.drawPath(tick);
    } else {
        painter.drawLine(c + QPointF(0, -0.5 * r), c + QPointF(0, 0.12 * r));
        painter.drawPoint(c + QPointF(0, 0.45 * r));
    }
    return pixmap;
}

}
