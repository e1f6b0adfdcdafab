#pragma once

#include "scanner/FailureAlert.h"
#include "model/Branch.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class Applications;
class Controller;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMessageBox;
class QPushButton;
class QToolButton;
class QVBoxLayout;
class TrashSheet;
class QComboBox;
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

private:
    QWidget* header();
    QWidget* toolbar();
    QWidget* sidebar();
    QWidget* footer();
    void render();
    void renderList();
    void select(const VEntry& entry);
    void readOnlyChanged();
    void renderTrashSheet();
    bool atRoot() const;
    qint64 listPageCount() const;
    qint64 graphPageCount() const;

    Controller& c_;
    Workspace& workspace_;
    Applications& applications_;
    OpenWindow openWindow_;
    Branch b_;
    bool wasReadOnly_;

    QPushButton* up_ = nullptr;
    QLabel* location_ = nullptr;
    QPushButton* reveal_ = nullptr;
    QPushButton* deleteFolder_ = nullptr;
    QPushButton* refresh_ = nullptr;
    QComboBox* display_ = nullptr;
    QPushButton* hand_ = nullptr;
    QPushButton* spin_ = nullptr;
    QPushButton* modify_ = nullptr;
    QList<QPushButton*> slots_;
    QToolButton* saveView_ = nullptr;
    QLineEdit* find_ = nullptr;
    QCheckBox* showHidden_ = nullptr;
    QLabel* message_ = nullptr;
    QVBoxLayout* listLayout_ = nullptr;
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
