#pragma once

#include <QIcon>
#include <QStyledItemDelegate>

// Draws one sidebar row: the entry's icon and its name on one line, cut in the middle when the
// row is too narrow, a tint behind the selected entry and a focus frame on the current one.
// Folder rows leave room at the end for their "Open" button.
class EntryDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    static constexpr int padding = 3;
    static constexpr int iconSize = 16;

    explicit EntryDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where the name is drawn: the whole line height of the font, so nothing of it is cut.
    static QRect textRect(const QStyleOptionViewItem& option, const QModelIndex& index);
    // The square at the end of a folder row that holds its "Open" button.
    static QRect openRect(const QRect& row);

private:
    // By SidebarModel::Kind.
    QIcon icons_[3];
    QIcon open_;
};
