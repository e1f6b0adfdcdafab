#pragma once

#include "app/widgets/ModeLabel.h"

// The current mode with a menu to switch to the other one.
class ModeControl : public ModeLabel {
    Q_OBJECT

public:
    explicit ModeControl(bool readOnly, QWidget* parent = nullptr);

    // Shows the current mode; the menu is offered only while switching is possible.
    void showMode(bool readOnly, bool switchable);

signals:
    void chosen(bool readOnly);
};
