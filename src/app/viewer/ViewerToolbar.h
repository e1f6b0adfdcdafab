#pragma once

#include <QList>
#include <QWidget>

class Branch;
class Controller;
class DisplayPicker;
class QPushButton;

// The viewer's second row: paged or full view, the drag modes, and the saved-view slots,
// which take a line of their own in a narrow window.
class ViewerToolbar : public QWidget {
    Q_OBJECT

public:
    ViewerToolbar(Branch& b, Controller& c, QWidget* parent = nullptr);

    void render();

private:
    void addModes(QLayout* row);
    void addSlots(QLayout* row);
    QPushButton* slotButton(int slot);
    QPushButton* saveViewButton();

    Branch& b_;
    Controller& c_;

    DisplayPicker* display_ = nullptr;
    QPushButton* hand_ = nullptr;
    QPushButton* spin_ = nullptr;
    QPushButton* modify_ = nullptr;
    QList<QPushButton*> slots_;
    QPushButton* saveView_ = nullptr;
};
