#pragma once

#include <QPushButton>

class Controller;
class QMessageBox;

// "Close App": quits at once when idle; during a scan, asks first and then cancels the scan
// and quits when it has stopped.
class QuitTallyroom : public QPushButton {
    Q_OBJECT

public:
    explicit QuitTallyroom(Controller& c, QWidget* parent = nullptr);

    QMessageBox* confirmation() const { return confirm_; }

private:
    void render();
    void press();
    void cancelAndQuit();

    Controller& c_;
    QMessageBox* confirm_ = nullptr;
};
