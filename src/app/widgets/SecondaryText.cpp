#include "app/widgets/SecondaryText.h"

#include <QWidget>

namespace SecondaryText {

void apply(QWidget* widget, double sizeFactor)
{
    widget->setForegroundRole(QPalette::PlaceholderText);
    if (sizeFactor == 1.0)
        return;
    QFont font = widget->font();
    font.setPointSizeF(font.pointSizeF() * sizeFactor);
    widget->setFont(font);
}

}
