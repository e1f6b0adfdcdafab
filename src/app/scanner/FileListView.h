#pragma once

#include "shared/Wire.h"

#include <QListView>

class FileListModel;

// The ranked files as one list: a click or Space asks to toggle a row, arrow keys move between
// rows, and every row, togglable or not, offers its context menu. The list's selection shows
// the controller's selection; a change made here only asks the controller, which decides.
class FileListView : public QListView {
    Q_OBJECT

public:
    explicit FileListView(FileListModel& model, QWidget* parent = nullptr);

    // The menu a row offers; the caller runs or inspects it.
    QMenu* menuFor(const QModelIndex& index);

signals:
    void toggleRequested(const Row& row);
    void revealRequested(const QString& path);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void showModelSelection();
    void requestToggles(const QItemSelection& selected, const QItemSelection& deselected);
    void rememberCurrent();
    void restoreCurrent();

    FileListModel& model_;
    bool showing_ = false;
    std::string currentRaw_;
};
