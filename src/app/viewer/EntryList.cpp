#include "app/viewer/EntryList.h"

#include "app/viewer/EntryDelegate.h"
#include "app/viewer/EntryListAccessible.h"
#include "app/viewer/EntryOpenAccessible.h"
#include "app/viewer/EntryRowAccessible.h"
#include "app/viewer/model/SidebarModel.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>

EntryList::EntryList(SidebarModel& model, QWidget* parent) : QListView(parent), model_(model)
{
    EntryListAccessible::install();
    setObjectName(QStringLiteral("entries"));
    setAccessibleName(QStringLiteral("Entries"));
    setModel(&model_);
    setItemDelegate(new EntryDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
}

EntryList::~EntryList()
{
    forgetAccessibles();
}

QRect EntryList::openMark(int row) const
{
    const QModelIndex index = model_.index(row);
    if (!index.data(SidebarModel::OpensRole).toBool())
        return {};
    return EntryDelegate::openRect(visualRect(index));
}

void EntryList::selectRow(int row)
{
    setCurrentIndex(model_.index(row));
}

void EntryList::requestOpen(int row)
{
    emit openRequested(row);
}

void EntryList::requestMenu(int row)
{
    emit menuRequested(row, viewport()->mapToGlobal(visualRect(model_.index(row)).center()));
}

QAccessibleInterface* EntryList::accessibleRow(int row)
{
    if (const auto found = rows_.find(row); found != rows_.end())
        return QAccessible::accessibleInterface(*found);
    auto* made = new EntryRowAccessible(this, row);
    rows_.insert(row, QAccessible::registerAccessibleInterface(made));
    return made;
}

QAccessibleInterface* EntryList::accessibleOpen(int row)
{
    if (const auto found = opens_.find(row); found != opens_.end())
        return QAccessible::accessibleInterface(*found);
    auto* made = new EntryOpenAccessible(this, row);
    opens_.insert(row, QAccessible::registerAccessibleInterface(made));
    return made;
}

void EntryList::forgetAccessibles()
{
    for (QAccessible::Id id : std::as_const(rows_))
        QAccessible::deleteAccessibleInterface(id);
    for (QAccessible::Id id : std::as_const(opens_))
        QAccessible::deleteAccessibleInterface(id);
    rows_.clear();
    opens_.clear();
}

void EntryList::reset()
{
    forgetAccessibles();
    QListView::reset();
}

void EntryList::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && currentIndex().isValid()) {
        if (currentIndex().data(SidebarModel::OpensRole).toBool())
            emit openRequested(currentIndex().row());
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

void EntryList::mousePressEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()
        && openMark(index.row()).contains(event->position().toPoint())) {
        event->accept();
        emit openRequested(index.row());
        return;
    }
    QListView::mousePressEvent(event);
}

void EntryList::contextMenuEvent(QContextMenuEvent* event)
{
    const QModelIndex index = event->reason() == QContextMenuEvent::Mouse ? indexAt(event->pos()) : currentIndex();
    if (!index.isValid())
        return;
    const QPoint at = event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                                   : viewport()->mapToGlobal(visualRect(index).center());
    emit menuRequested(index.row(), at);
}
