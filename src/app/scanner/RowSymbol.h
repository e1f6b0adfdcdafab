#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// The check box and information marks of a file row, drawn with lines so they show with any
// font and at any scale.
namespace RowSymbol {
void drawCheckBox(QPainter& painter, const QRectF& box, bool checked, const QColor& colour);
void drawInformation(QPainter& painter, const QRectF& box, const QColor& colour);
}
