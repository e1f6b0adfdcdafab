#include "app/setup/SetupConfirmButtonStyle.h"

#include <QAbstractButton>

namespace SetupConfirmButtonStyle {

void apply(QAbstractButton* button)
{
    // Mint is sRGB (0.51, 0.84, 0.61): fill 0.24, pressed 0.42, border 0.48; half opacity when disabled.
    button->setStyleSheet(QStringLiteral(
        "QAbstractButton { border: 1px solid rgba(130, 214, 156, 0.48); border-radius: 6px;"
        " padding: 4px 12px; background: rgba(130, 214, 156, 0.24); color: palette(text); }"
        "QAbstractButton:pressed { background: rgba(130, 214, 156, 0.42); }"
        "QAbstractButton:disabled { border-color: rgba(130, 214, 156, 0.24); background: rgba(130, 214, 156, 0.12);"
        " color: palette(mid); }"
        "QAbstractButton::menu-indicator { image: none; width: 0; }"));
}

}
