#pragma once

class Controller;
class ModeControl;
class QWidget;

// A mode control that shows the controller's mode and switches it.
ModeControl* modeSwitch(Controller& c, QWidget* parent = nullptr);
