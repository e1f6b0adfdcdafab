#include "app/widgets/ScaledFont.h"

QFont scaledFont(QFont font, double factor)
{
    font.setPointSizeF(font.pointSizeF() * factor);
    return font;
}
