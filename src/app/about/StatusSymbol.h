#pragma once

#include <QColor>
#include <QPixmap>

// The small circled mark beside a check's verdict: a tick when satisfied, an exclamation
// mark otherwise.
namespace StatusSymbol {
QPixmap draw(bool satisfied, int size, qreal scale);
QColor colour(bool satisfied);
}
