#pragma once

#include <QFont>
#include <QString>

// The font of the dot labels: the system font in medium weight.
namespace LabelFont {
QFont at(int pixelSize);

// A text's extent at font size 1.
struct Extent {
    double width;
    double ascent;
    double descent;
};
Extent extent(const QString& text);
}
