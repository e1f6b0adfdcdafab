#include "app/widgets/LockSymbol.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace LockSymbol {

void draw(QPainter& painter, const QRectF& box, const QColor& colour)
{
    const qreal side = std::min(box.width(), box.height());
    const QRectF square(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    const QRectF body(square.left() + side * 0.15, square.top() + side * 0.45, side * 0.7, side * 0.5);
    const QRectF shackle(square.left() + side * 0.3, square.top() + side * 0.1, side * 0.4, side * 0.65);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, std::max<qreal>(1.2, side * 0.11)));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(shackle, 0, 180 * 16);
    painter.drawLine(QPointF(shackle.left(), shackle.center().y()), QPointF(shackle.left(), body.top()));
    painter.drawLine(QPointF(shackle.right(), shackle.center().y()), QPointF(shackle.right(), body.top()));
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(body, side * 0.08, side * 0.08);
    painter.restore();
}

QIcon icon(const QColor& colour, int size)
{
    QPixmap pixmap(size * 2, size * 2);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    draw(painter, QRectF(0, 0, size, size), colour);
    return QIcon(pixmap);
}

}
