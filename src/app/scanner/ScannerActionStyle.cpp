#include "ScannerActionStyle.h"

#include <QAbstractButton>

namespace ScannerActionStyle {

void apply(QAbstractButton* button)
{
    button->setStyleSheet(QStringLiteral(
        "QAbstractButton { font-weight: bold; border: 1px solid rgba(40, 120, 140, 0.55); border-radius: 8px;"
        " padding: 6px 14px; background: rgba(255, 255, 255, 0.55); color: palette(text); }"
        "QAbstractButton:hover { background: rgba(255, 255, 255, 0.8); }"
        "QAbstractButton:pressed { background: rgba(40, 120, 140, 0.25); }"
        "QAbstractButton:disabled { color: palette(mid); border-color: rgba(128, 128, 128, 0.35); }"));
}

}
