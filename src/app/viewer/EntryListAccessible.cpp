#include "app/viewer/EntryListAccessible.h"

#include "app/viewer/EntryList.h"
#include "app/viewer/EntryRowAccessible.h"
#include "app/viewer/model/SidebarModel.h"

namespace {

QAccessibleInterface* entryListFactory(const QString&, QObject* object)
{
    if (auto* list = qobject_cast<EntryList*>(object))
        return new EntryListAccessible(list);
    return nullptr;
}

}

EntryListAccessible::EntryListAccessible(EntryList* list) : QAccessibleWidget(list, QAccessible::List)
{
}

void EntryListAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(entryListFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

EntryList* EntryListAccessible::list() const
{
    return static_cast<EntryList*>(widget());
}

int EntryListAccessible::childCount() const
{
    return list()->entries().rowCount();
}

QAccessibleInterface* EntryListAccessible::child(int index) const
{
    return index >= 0 && index < childCount() ? list()->accessibleRow(index) : nullptr;
}

int EntryListAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (const auto* row = dynamic_cast<const EntryRowAccessible*>(child))
        return row->isValid() ? row->row() : -1;
    return -1;
}

QAccessibleInterface* EntryListAccessible::childAt(int x, int y) const
{
    const QModelIndex index = list()->indexAt(list()->viewport()->mapFromGlobal(QPoint(x, y)));
    return index.isValid() ? child(index.row()) : nullptr;
}

QAccessibleInterface* EntryListAccessible::focusChild() const
{
    const QModelIndex current = list()->currentIndex();
    return list()->hasFocus() && current.isValid() ? child(current.row()) : nullptr;
}
