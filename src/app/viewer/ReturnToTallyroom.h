#pragma once

#include <QPushButton>

#include <functional>

// "Close View, back to Tallyroom": brings the scanner window back, then closes the viewer.
class ReturnToTallyroom : public QPushButton {
    Q_OBJECT

public:
    ReturnToTallyroom(std::function<void()> openMain, std::function<void()> dismissViewer, QWidget* parent = nullptr);
};
