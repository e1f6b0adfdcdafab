#pragma once

#include "app/scanner/ReviewSheet.h"
#include "app/widgets/FailureAlert.h"

#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <functional>

class BusyIndicator;
class Controller;
class FileListModel;
class FileListView;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QButtonGroup;
class QWidget;
class Workspace;
class FolderAction;

// The scanner window: the disk, its usage, the current operation and the ranked files, with
// every control that starts a scanner operation. It only renders the controller.
class TallyroomView : public QWidget {
    Q_OBJECT

public:
    using OpenWindow = std::function<void(const QString& identifier)>;
    // Makes the panel the Change Disk sheet holds; the panel calls `close` when it is done,
    // before it hands on a newly chosen disk.
    using ChangeDisk = std::function<QWidget*(std::function<void()> close)>;

    TallyroomView(Controller& c, Workspace& workspace, ChangeDisk changeDisk, OpenWindow openWindow,
                  QWidget* parent = nullptr);

    FileListView* fileList() const { return list_; }

protected:
    // Return and Enter click the focused button, as Space does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* header();
    QWidget* toolbar();
    void render();
    void renderProgress();
    void renderList();
    void renderSheets();
    void openReviewSheet();
    void focusAfterReview();
    void openReport();
    void showChangeDisk();

    Controller& c_;
    Workspace& workspace_;
    ChangeDisk changeDisk_;
    OpenWindow openWindow_;

    QPushButton* verify_ = nullptr;
    QPushButton* changeDiskButton_ = nullptr;
    QPushButton* scan_ = nullptr;
    FolderAction* folderAction_ = nullptr;
    QLabel* usage_ = nullptr;
    BusyIndicator* busyIndicator_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* openReport_ = nullptr;
    QWidget* scanControls_ = nullptr;
    QPushButton* pause_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* progressLabel_ = nullptr;
    QButtonGroup* groups_ = nullptr;
    QWidget* resultControls_ = nullptr;
    QCheckBox* onlyPersonal_ = nullptr;
    QLabel* emptyNotice_ = nullptr;
    QLabel* noResult_ = nullptr;
    FileListModel* model_ = nullptr;
    FileListView* list_ = nullptr;
    QWidget* summaryRow_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* reviewButton_ = nullptr;
    QPointer<ReviewSheet> reviewSheet_;
    QPointer<QWidget> reviewOpener_;
    FailureAlert failureAlert_;
};
