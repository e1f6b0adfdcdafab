#include "app/viewer/EntryOpenAccessible.h"

#include "app/viewer/EntryList.h"
#include "app/viewer/model/SidebarModel.h"

#include <QWidget>

EntryOpenAccessible::EntryOpenAccessible(EntryList* list, int row)
    : list_(list), row_(row), path_(list->entries().entry(row).path)
{
}

bool EntryOpenAccessible::isValid() const
{
    return list_ && row_ < list_->entries().rowCount() && list_->entries().entry(row_).path == path_;
}

QWindow* EntryOpenAccessible::window() const
{
    return list_ ? list_->window()->windowHandle() : nullptr;
}

QAccessibleInterface* EntryOpenAccessible::parent() const
{
    return isValid() ? list_->accessibleRow(row_) : nullptr;
}

QString EntryOpenAccessible::text(QAccessible::Text t) const
{
    if (!isValid() || t != QAccessible::Name)
        return {};
    return QStringLiteral("Open ") + list_->entries().index(row_).data().toString();
}

QRect EntryOpenAccessible::rect() const
{
    if (!isValid())
        return {};
    const QRect local = list_->openMark(row_);
    return {list_->viewport()->mapToGlobal(local.topLeft()), local.size()};
}

QAccessible::State EntryOpenAccessible::state() const
{
    QAccessible::State state;
    state.invalid = !isValid();
    return state;
}

void* EntryOpenAccessible::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

void EntryOpenAccessible::doAction(const QString& actionName)
{
    if (isValid() && actionName == pressAction())
        list_->requestOpen(row_);
}
