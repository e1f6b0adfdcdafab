#pragma once

#include "app/scanner/ReviewSheet.h"
#include "app/widgets/FailureAlert.h"

#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <functional>

class Controller;
class FileListView;
class FolderAction;
class QPushButton;
class ResultPanel;
class ScanStatusPanel;
class Workspace;

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

    FileListView* fileList() const;

protected:
    // Return and Enter click the focused button, as Space does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* header();
    QWidget* toolbar();
    void render();
    void renderSheets();
    void openReviewSheet();
    void focusAfterReview();
    void showChangeDisk();

    Controller& c_;
    ChangeDisk changeDisk_;
    OpenWindow openWindow_;

    QPushButton* verify_ = nullptr;
    QPushButton* changeDiskButton_ = nullptr;
    QPushButton* scan_ = nullptr;
    FolderAction* folderAction_ = nullptr;
    ScanStatusPanel* status_ = nullptr;
    ResultPanel* result_ = nullptr;
    QPointer<ReviewSheet> reviewSheet_;
    QPointer<QWidget> reviewOpener_;
    FailureAlert failureAlert_;
};
