#include "app/scanner/ScannerActionStyle.h"

#include <QAbstractButton>

namespace ScannerActionStyle {

void apply(QAbstractButton* button)
{
    button->setStyleSheet(QStringLiteral(
        "QAbstractButton { font-weight: bold; border: 1px solid rgba(40, 120, 140, 0.55); border-radius: 8px;"
        " padding: 6px 14px; background: rgba(255, 255, 255, 0.55); color: palette(text); }"
        "QAbstractButton:hover { background: rgba(255, 255, 255, 0.8); }"
        "QAbstractButton:pressed { background: rgba(40, 120, 140, 0.25); }"
        "QAbstractButton:focus { border: 2px solid palette(highlight); padding: 5px 13px; outline: none; }"
        "QAbstractButton:disabled { color: palette(mid); border-color: rgba(128, 128, 128, 0.35); }"));
}

// Filled with the accent colour, so it stands out without posing as a dialog's default button.
void applyProminent(QAbstractButton* button)
{
    button->setStyleSheet(QStringLiteral(
        "QAbstractButton { font-weight: bold; border: 1px solid rgba(20, 70, 140, 0.6); border-radius: 8px;"
        " padding: 8px 16px; background: palette(highlight); color: palette(highlighted-text); }"
        "QAbstractButton:hover { background: rgba(48, 130, 210, 1); }"
        "QAbstractButton:pressed { background: rgba(20, 80, 150, 1); }"
        "QAbstractButton:focus { border: 3px solid palette(text); padding: 6px 14px; outline: none; }"
        "QAbstractButton:disabled { color: palette(mid); background: rgba(128, 128, 128, 0.25);"
        " border-color: rgba(128, 128, 128, 0.35); }"));
}

}
