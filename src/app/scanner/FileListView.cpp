#include "app/scanner/FileListView.h"

#include "app/scanner/FileListModel.h"
#include "app/scanner/FileRowDelegate.h"
#include "app/scanner/NamedAction.h"

#include <QContextMenuEvent>
#include <QMenu>

FileListView::FileListView(FileListModel& model, QWidget* parent) : QListView(parent), model_(model)
{
    setObjectName(QStringLiteral("fileList"));
    setAccessibleName(QStringLiteral("Largest files"));
    setModel(&model_);
    setItemDelegate(new FileRowDelegate(this));
    setSelectionMode(QAbstractItemView::MultiSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setUniformItemSizes(true);
    setFrameShape(QFrame::NoFrame);
    setStyleSheet(QStringLiteral("QListView { background: transparent; }"));
    viewport()->setCursor(Qt::PointingHandCursor);
    connect(&model_, &QAbstractItemModel::modelAboutToBeReset, this, &FileListView::rememberCurrent);
    connect(&model_, &QAbstractItemModel::modelReset, this, &FileListView::restoreCurrent);
    connect(&model_, &QAbstractItemModel::modelReset, this, &FileListView::showModelSelection);
    connect(&model_, &QAbstractItemModel::dataChanged, this, &FileListView::showModelSelection);
    connect(&model_, &FileListModel::listReplaced, this, &QListView::scrollToTop);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &FileListView::requestToggles);
    showModelSelection();
}

void FileListView::showModelSelection()
{
    QItemSelection selection;
    for (int row = 0; row < model_.rowCount(); ++row)
        if (model_.index(row).data(FileListModel::SelectedRole).toBool())
            selection.select(model_.index(row), model_.index(row));
    showing_ = true;
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    showing_ = false;
}

void FileListView::requestToggles(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (showing_)
        return;
    std::vector<Row> rows;
    for (const QItemSelection& change : {selected, deselected})
        for (const QModelIndex& index : change.indexes())
            rows.push_back(model_.rowAt(index.row()));
    // The controller decides; the list then shows what it decided.
    for (const Row& row : rows)
        emit toggleRequested(row);
    showModelSelection();
}

void FileListView::rememberCurrent()
{
    currentRaw_ = currentIndex().isValid() ? model_.rowAt(currentIndex().row()).raw : std::string();
}

void FileListView::restoreCurrent()
{
    for (int row = 0; row < model_.rowCount(); ++row)
        if (!currentRaw_.empty() && model_.rowAt(row).raw == currentRaw_)
            selectionModel()->setCurrentIndex(model_.index(row), QItemSelectionModel::NoUpdate);
}

QItemSelectionModel::SelectionFlags FileListView::selectionCommand(const QModelIndex& index, const QEvent* event) const
{
    if (!event || !index.isValid())
        return QItemSelectionModel::NoUpdate;
    if (event->type() == QEvent::MouseButtonPress && static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton)
        return QItemSelectionModel::Toggle;
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<const QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space || key == Qt::Key_Select)
            return QItemSelectionModel::Toggle;
    }
    return QItemSelectionModel::NoUpdate;
}

QMenu* FileListView::menuFor(const QModelIndex& index)
{
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QString path = index.data(FileListModel::PathRole).toString();
    auto* reveal = new NamedAction(QStringLiteral("Show in Finder"), QStringLiteral("Reveal ") + index.data().toString(), menu);
    menu->addAction(reveal);
    connect(reveal, &QAction::triggered, this, [this, path] { emit revealRequested(path); });
    return menu;
}

void FileListView::contextMenuEvent(QContextMenuEvent* event)
{
    const bool fromKeyboard = event->reason() == QContextMenuEvent::Keyboard;
    // A mouse event arrives in the viewport's coordinates.
    const QModelIndex index = fromKeyboard ? currentIndex() : indexAt(event->pos());
    if (!index.isValid())
        return;
    const QPoint at = fromKeyboard ? viewport()->mapToGlobal(visualRect(index).center()) : event->globalPos();
    menuFor(index)->popup(at);
}
