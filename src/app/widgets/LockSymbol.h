#pragma once

#include <QColor>
#include <QIcon>
#include <QRectF>

class QPainter;

// A padlock drawn with lines, so it shows with any font.
namespace LockSymbol {
void draw(QPainter& painter, const QRectF& box, const QColor& colour);
QIcon icon(const QColor& colour, int size = 16);
}
