#pragma once

#include <QWidget>

class Controller;
class FileListModel;
class FileListView;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QPushButton;
class Workspace;

// The scan's result: which of the largest files are listed, the ranked list itself, and the
// selection's summary with the button that opens its review.
class ResultPanel : public QWidget {
    Q_OBJECT

public:
    ResultPanel(Controller& c, Workspace& workspace, QWidget* parent = nullptr);

    FileListView* fileList() const { return list_; }
    QPushButton* reviewButton() const { return reviewButton_; }
    void render();

private:
    QLayout* pickerRow();
    QWidget* resultControls();
    QWidget* summaryRow();
    void renderList();
    void renderSummary();

    Controller& c_;

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
};
