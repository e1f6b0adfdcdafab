#include "app/viewer/EntryRowAccessible.h"

#include "app/viewer/EntryList.h"
#include "app/viewer/model/SidebarModel.h"

#include <QItemSelectionModel>
#include <QWidget>

EntryRowAccessible::EntryRowAccessible(EntryList* list, int row)
    : list_(list), row_(row), path_(list->entries().entry(row).path)
{
}

bool EntryRowAccessible::isValid() const
{
    return list_ && row_ < list_->entries().rowCount() && list_->entries().entry(row_).path == path_;
}

QWindow* EntryRowAccessible::window() const
{
    return list_ ? list_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* EntryRowAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(list_.data());
}

int EntryRowAccessible::childCount() const
{
    return isValid() && list_->entries().entry(row_).folder ? 1 : 0;
}

QAccessibleInterface* EntryRowAccessible::child(int index) const
{
    return index == 0 && childCount() == 1 ? list_->accessibleOpen(row_) : nullptr;
}

int EntryRowAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return child && childCount() == 1 && child == list_->accessibleOpen(row_) ? 0 : -1;
}

QAccessibleInterface* EntryRowAccessible::childAt(int x, int y) const
{
    QAccessibleInterface* open = child(0);
    return open && open->rect().contains(x, y) ? open : nullptr;
}

QString EntryRowAccessible::text(QAccessible::Text t) const
{
    if (!isValid())
        return {};
    const QModelIndex index = list_->entries().index(row_);
    switch (t) {
    case QAccessible::Name:
        return index.data().toString();
    case QAccessible::Description:
        return path_;
    default:
        return {};
    }
}

QRect EntryRowAccessible::rect() const
{
    if (!isValid())
        return {};
    const QRect local = list_->visualRect(list_->entries().index(row_));
    return {list_->viewport()->mapToGlobal(local.topLeft()), local.size()};
}

QAccessible::State EntryRowAccessible::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    const QModelIndex index = list_->entries().index(row_);
    state.selectable = true;
    state.focusable = true;
    state.selected = list_->selectionModel()->isSelected(index);
    state.focused = list_->hasFocus() && list_->currentIndex() == index;
    state.offscreen = !list_->viewport()->rect().intersects(list_->visualRect(index));
    return state;
}

void* EntryRowAccessible::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

QStringList EntryRowAccessible::actionNames() const
{
    return {pressAction(), showMenuAction(), setFocusAction()};
}

void EntryRowAccessible::doAction(const QString& actionName)
{
    if (!isValid())
        return;
    if (actionName == pressAction() || actionName == setFocusAction())
        list_->selectRow(row_);
    else if (actionName == showMenuAction())
        list_->requestMenu(row_);
}
