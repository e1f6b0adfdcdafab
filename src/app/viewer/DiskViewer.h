#pragma once

#include "app/viewer/model/Branch.h"
#include "app/widgets/FailureAlert.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class Applications;
class Controller;
class Map3D;
class QLabel;
class TrashSheet;
class ViewerFooter;
class ViewerHeader;
class ViewerSidebar;
class ViewerToolbar;
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
    void addShortcuts();
    void render();
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

    ViewerHeader* header_ = nullptr;
    ViewerToolbar* toolbar_ = nullptr;
    Map3D* map_ = nullptr;
    bool fitted_ = false;
    ViewerSidebar* sidebar_ = nullptr;
    ViewerFooter* footer_ = nullptr;
    QLabel* notice_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* legend_ = nullptr;
    FailureAlert failureAlert_;
    QPointer<TrashSheet> trashSheet_;
};
