#pragma once

#include "app/viewer/model/Branch.h"
#include "app/widgets/FailureAlert.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class Applications;
class Controller;
class DisplayPicker;
class EntryList;
class LocationLabel;
class Map3D;
class SidebarModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;
class TrashSheet;
class Workspace;

// The viewer window: one folder of the disk as a graph beside a list of its entries, with
// every viewer command. Each control calls one operation of the branch or reads its state.
class DiskViewer : public QWidget {
    Q_OBJECT

public:
    using OpenWindow = std::function<void(const QString& identifier)>;

    DiskViewer(Controller& c, Workspace& workspace, Applications& applications, OpenWindow openWindow,
               QWidget* parent = nullptr);

    Branch& branch() { return b_; }
    // The disk root, or "/" without a session.
    static QString diskRoot();
    QString hint() const;
    QString legend() const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* header();
    QWidget* toolbar();
    QWidget* sidebar();
    QWidget* footer();
    void addShortcuts();
    void render();
    void renderSelection();
    void listSelectionChanged();
    void showEntryMenu(int row, const QPoint& global);
    void readOnlyChanged();
    void renderTrashSheet();
    void fitScreen();
    bool atRoot() const;

    Controller& c_;
    Workspace& workspace_;
    Applications& applications_;
    OpenWindow openWindow_;
    Branch b_;
    bool wasReadOnly_;

    QPushButton* up_ = nullptr;
    LocationLabel* location_ = nullptr;
    QPushButton* reveal_ = nullptr;
    QPushButton* deleteFolder_ = nullptr;
    QPushButton* refresh_ = nullptr;
    DisplayPicker* display_ = nullptr;
    QPushButton* hand_ = nullptr;
    QPushButton* spin_ = nullptr;
    QPushButton* modify_ = nullptr;
    QList<QPushButton*> slots_;
    QPushButton* saveView_ = nullptr;
    QLineEdit* find_ = nullptr;
    QCheckBox* showHidden_ = nullptr;
    QLabel* message_ = nullptr;
    SidebarModel* entries_ = nullptr;
    EntryList* list_ = nullptr;
    // Set while the list's selection follows the branch, so it is not echoed back.
    bool followingBranch_ = false;
    Map3D* map_ = nullptr;
    bool fitted_ = false;
    QWidget* pager_ = nullptr;
    QPushButton* previousPage_ = nullptr;
    QLabel* pageText_ = nullptr;
    QPushButton* nextPage_ = nullptr;
    QLabel* itemCount_ = nullptr;
    QWidget* details_ = nullptr;
    QLabel* detailPath_ = nullptr;
    QLabel* detailKind_ = nullptr;
    QWidget* graphPager_ = nullptr;
    QPushButton* previousGraph_ = nullptr;
    QLabel* graphText_ = nullptr;
    QPushButton* nextGraph_ = nullptr;
    QLabel* notice_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* legend_ = nullptr;
    FailureAlert failureAlert_;
    QPointer<TrashSheet> trashSheet_;
};
