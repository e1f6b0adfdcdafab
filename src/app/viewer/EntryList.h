#pragma once

#include <QAccessible>
#include <QHash>
#include <QListView>

class SidebarModel;

// The sidebar's list of entries: rows drawn by EntryDelegate, built only as they scroll into
// view. Pressing a folder row's "Open" mark, or Enter on a row, asks to open it; the context
// menu is asked for by row.
class EntryList : public QListView {
    Q_OBJECT

public:
    explicit EntryList(SidebarModel& model, QWidget* parent = nullptr);
    ~EntryList() override;

    SidebarModel& entries() const { return model_; }
    // Where a row's "Open" mark is, in viewport coordinates; empty for rows that have none.
    QRect openMark(int row) const;

    // What a press on a row, its "Open" button or its menu key does.
    void selectRow(int row);
    void requestOpen(int row);
    void requestMenu(int row);
    // The row's interface for assistive technology, and its "Open" button's; made once per
    // row until the rows change.
    QAccessibleInterface* accessibleRow(int row);
    QAccessibleInterface* accessibleOpen(int row);

signals:
    void openRequested(int row);
    void menuRequested(int row, const QPoint& global);

protected:
    void reset() override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void forgetAccessibles();

    SidebarModel& model_;
    QHash<int, QAccessible::Id> rows_;
    QHash<int, QAccessible::Id> opens_;
};
