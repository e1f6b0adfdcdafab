#pragma once

#include <QWidget>

#include <functional>

class Branch;
class Controller;
class LocationLabel;
class QPushButton;
class Workspace;

// The viewer's top row: where the open folder is, the way back to the scanner, and the
// commands on the open folder, which take a line of their own in a narrow window.
class ViewerHeader : public QWidget {
    Q_OBJECT

public:
    ViewerHeader(Branch& b, Controller& c, Workspace& workspace, std::function<void()> openMain, QWidget* parent = nullptr);

    void render();
    // What "Refresh View" does, when it may.
    void refreshView();

private:
    void addFolderCommands(QLayout* row);

    Branch& b_;
    Controller& c_;
    Workspace& workspace_;

    QPushButton* up_ = nullptr;
    LocationLabel* location_ = nullptr;
    QPushButton* reveal_ = nullptr;
    QPushButton* deleteFolder_ = nullptr;
    QPushButton* refresh_ = nullptr;
};
