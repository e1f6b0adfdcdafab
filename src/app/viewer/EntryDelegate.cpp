#include "app/viewer/EntryDelegate.h"

#include "app/viewer/ViewerIcons.h"
#include "app/viewer/model/SidebarModel.h"

#include <QApplication>
#include <QPainter>

namespace {

int lineHeight(const QStyleOptionViewItem& option)
{
    return std::max(option.fontMetrics.height(), EntryDelegate::iconSize);
}

}

EntryDelegate::EntryDelegate(QObject* parent)
    : QStyledItemDelegate(parent),
      icons_ {ViewerIcons::entry(SidebarModel::file), ViewerIcons::entry(SidebarModel::folder),
              ViewerIcons::entry(SidebarModel::link)},
      open_(ViewerIcons::open())
{
}

QSize EntryDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // Rows are as wide as the list; a long name is shortened, never widening the sidebar.
    const int height = lineHeight(option) + 2 * padding;
    const int width = iconSize + 6 + option.fontMetrics.averageCharWidth() * 4;
    return {width + 2 * padding + (index.data(SidebarModel::OpensRole).toBool() ? height : 0), height};
}

QRect EntryDelegate::openRect(const QRect& row)
{
    return {row.right() - row.height() + 1, row.top(), row.height(), row.height()};
}

QRect EntryDelegate::textRect(const QStyleOptionViewItem& option, const QModelIndex& index)
{
    QRect inner = option.rect.adjusted(padding, padding, -padding, -padding);
    if (index.data(SidebarModel::OpensRole).toBool())
        inner.setRight(openRect(option.rect).left() - 1);
    inner.setLeft(inner.left() + iconSize + 6);
    const int height = option.fontMetrics.height();
    return {inner.left(), inner.top() + (inner.height() - height) / 2, std::max(0, inner.width()), height};
}

void EntryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    const QPalette& palette = option.palette;
    if (index.data(SidebarModel::SelectedRole).toBool()) {
        QColor accent = palette.color(QPalette::Highlight);
        accent.setAlphaF(0.18f);
        painter->fillRect(option.rect, accent);
    }
    const QRect inner = option.rect.adjusted(padding, padding, -padding, -padding);
    const QRect iconArea(inner.left(), inner.top() + (inner.height() - iconSize) / 2, iconSize, iconSize);
    icons_[index.data(SidebarModel::KindRole).toInt()].paint(painter, iconArea);

    const QRect text = textRect(option, index);
    const QString name = option.fontMetrics.elidedText(index.data().toString(), Qt::ElideMiddle, text.width());
    painter->setFont(option.font);
    painter->setPen(palette.color(option.state & QStyle::State_Enabled ? QPalette::Active : QPalette::Disabled,
                                  QPalette::Text));
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
    if (index.data(SidebarModel::OpensRole).toBool()) {
        const QRect mark = openRect(option.rect);
        open_.paint(painter, QRect(mark.center() - QPoint(iconSize / 2, iconSize / 2), QSize(iconSize, iconSize)));
    }

    if (option.state & QStyle::State_HasFocus) {
        QPen pen(palette.color(QPalette::Highlight), 2);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(QRectF(option.rect).adjusted(1, 1, -1, -1), 3, 3);
    }
    painter->restore();
}
