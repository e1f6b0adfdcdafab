#pragma once

#include <QStyledItemDelegate>

// Draws one ranked file: its symbol, bold name over its full path, size and tag, the
// selection tint, a divider and, on the current row of a focused list, a focus ring. Every
// line gets the full height of its font, so descenders and underscores are never cut off.
class FileRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
