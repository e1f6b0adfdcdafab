#include "app/widgets/SecondaryText.h"

#include "app/widgets/ScaledFont.h"

#include <QWidget>

namespace SecondaryText {

void apply(QWidget* widget, double sizeFactor)
{
    widget->setForegroundRole(QPalette::PlaceholderText);
    if (sizeFactor == 1.0)
        return;
    widget->setFont(scaledFont(widget->font(), sizeFactor));
}

}
