#include "app/scanner/RowSymbol.h"

#include <QPainter>
#include <QPainterPath>

namespace RowSymbol {

void drawCheckBox(QPainter& painter, const QRectF& box, bool checked, const QColor& colour)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(box.width(), box.height());
    const QRectF square(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    const qreal line = std::max<qreal>(1.2, side / 12);
    if (checked) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawRoundedRect(square, side / 5, side / 5);
        QPainterPath tick;
        tick.moveTo(square.left() + side * 0.25, square.top() + side * 0.52);
        tick.lineTo(square.left() + side * 0.43, square.top() + side * 0.70);
        tick.lineTo(square.left() + side * 0.76, square.top() + side * 0.32);
        painter.setPen(QPen(Qt::white, line * 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
    } else {
        painter.setPen(QPen(colour, line));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(square.adjusted(line / 2, line / 2, -line / 2, -line / 2), side / 5, side / 5);
    }
    painter.restore();
}

void drawInformation(QPainter& painter, const QRectF& box, const QColor& colour)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(box.width(), box.height());
    const QRectF circle(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    const qreal line = std::max<qreal>(1.2, side / 12);
    painter.setPen(QPen(colour, line));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(circle.adjusted(line / 2, line / 2, -line / 2, -line / 2));
    const qreal x = circle.center().x();
    painter.setPen(QPen(colour, line * 1.3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(x, circle.top() + side * 0.45), QPointF(x, circle.top() + side * 0.74));
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(x, circle.top() + side * 0.28), line * 0.8, line * 0.8);
    painter.restore();
}

}
