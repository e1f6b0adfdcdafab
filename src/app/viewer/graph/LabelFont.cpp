#include "app/viewer/graph/LabelFont.h"

#include <QFontMetricsF>

namespace {
// Measured large and scaled down, so rounding to whole pixels does not distort the extent.
constexpr int measuredAt = 100;
}

QFont LabelFont::at(int pixelSize)
{
    QFont font;
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Medium);
    return font;
}

LabelFont::Extent LabelFont::extent(const QString& text)
{
    const QFontMetricsF metrics(at(measuredAt));
    return {metrics.horizontalAdvance(text) / measuredAt, metrics.ascent() / measuredAt,
            metrics.descent() / measuredAt};
}
