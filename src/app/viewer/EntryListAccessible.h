#pragma once

#include <QAccessibleWidget>

class EntryList;

// The entry list as assistive technology sees it: one item per row, named by the entry, each
// folder row with its "Open" button. Rows are made when asked for, so long lists stay cheap.
class EntryListAccessible : public QAccessibleWidget {
public:
    explicit EntryListAccessible(EntryList* list);

    // Registers the factory that gives every EntryList this interface.
    static void install();

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    EntryList* list() const;
};
