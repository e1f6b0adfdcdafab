#pragma once

#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QPointer>

class EntryList;

// One row of the entry list for assistive technology: named by the entry's title, described
// by its path; pressing selects it, the menu action opens its context menu. A folder row has
// one child, its "Open" button. A row made for one entry goes invalid once the list shows
// another entry there.
class EntryRowAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    EntryRowAccessible(EntryList* list, int row);

    int row() const { return row_; }

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<EntryList> list_;
    int row_;
    QString path_;
};
