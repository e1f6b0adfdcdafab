#pragma once

#include "ModeLabel.h"

class Controller;

// The current mode with a menu to switch to the other one.
class ModeControl : public ModeLabel {
    Q_OBJECT

public:
    ModeControl(Controller& c, QWidget* parent = nullptr);

private:
    void render();

    Controller& c_;
};
