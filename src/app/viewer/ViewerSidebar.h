#pragma once

#include <QWidget>

class Applications;
class Branch;
class Controller;
class EntryList;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SidebarModel;
class Workspace;

// The viewer's side column: the find field, the open folder's entries page by page, and the
// selected entry's path and kind. The list's selection follows the branch's and hands a
// person's choice back to it.
class ViewerSidebar : public QWidget {
    Q_OBJECT

public:
    ViewerSidebar(Branch& b, Controller& c, Workspace& workspace, Applications& applications, QWidget* parent = nullptr);

    void render();
    // Brings the selected row back into view, as the list grows or shrinks.
    void keepSelectionInView();

private:
    QLayout* pagingRow();
    QWidget* details();
    void renderSelection();
    void listSelectionChanged();
    void showEntryMenu(int row, const QPoint& global);

    Branch& b_;
    Controller& c_;
    Workspace& workspace_;
    Applications& applications_;

    QLineEdit* find_ = nullptr;
    QCheckBox* showHidden_ = nullptr;
    QLabel* message_ = nullptr;
    SidebarModel* entries_ = nullptr;
    EntryList* list_ = nullptr;
    // Set while the list's selection follows the branch, so it is not echoed back.
    bool followingBranch_ = false;
    QWidget* pager_ = nullptr;
    QPushButton* previousPage_ = nullptr;
    QLabel* pageText_ = nullptr;
    QPushButton* nextPage_ = nullptr;
    QLabel* itemCount_ = nullptr;
    QWidget* details_ = nullptr;
    QLabel* detailPath_ = nullptr;
    QLabel* detailKind_ = nullptr;
};
