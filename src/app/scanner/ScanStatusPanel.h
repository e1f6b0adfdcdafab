#pragma once

#include <QWidget>

class BusyIndicator;
class Controller;
class QLabel;
class QProgressBar;
class QPushButton;
class Workspace;

// The scanner's status and progress: the disk's usage, what the current operation says, the
// scan's pause and cancel, and how far it has come.
class ScanStatusPanel : public QWidget {
    Q_OBJECT

public:
    ScanStatusPanel(Controller& c, Workspace& workspace, QWidget* parent = nullptr);

    void render();

private:
    QLayout* statusRow();
    QWidget* scanControls();
    QLayout* progressRow();
    void renderProgress();
    void openReport();

    Controller& c_;
    Workspace& workspace_;

    QLabel* usage_ = nullptr;
    BusyIndicator* busyIndicator_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* openReport_ = nullptr;
    QWidget* scanControls_ = nullptr;
    QPushButton* pause_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* progressLabel_ = nullptr;
};
