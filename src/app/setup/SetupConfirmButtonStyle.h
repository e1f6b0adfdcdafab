#pragma once

class QAbstractButton;

// The mint, softly framed look of setup's confirmation, disk menu and "Keep" buttons.
namespace SetupConfirmButtonStyle {
void apply(QAbstractButton* button);
}
