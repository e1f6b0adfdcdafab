#include "app/scanner/FileRowDelegate.h"

#include "app/scanner/FileListModel.h"
#include "app/scanner/RowSymbol.h"
#include "app/widgets/LockSymbol.h"
#include "app/widgets/ScaledFont.h"

#include <QPainter>

namespace {

constexpr int padding = 6;
constexpr int gap = 10;
constexpr int lineGap = 3;
constexpr int focusWidth = 2;

QFont nameFont(const QFont& base, bool removed)
{
    QFont font = base;
    font.setBold(true);
    font.setStrikeOut(removed);
    return font;
}

QFont pathFont(const QFont& base, bool removed)
{
    QFont font = scaledFont(base, 0.85);
    font.setStrikeOut(removed);
    return font;
}

// Room for a line of text in this font, with its full descent and a pixel below it for
// underscores that some fonts draw past the descent.
int lineHeight(const QFont& font)
{
    return QFontMetrics(font).height() + 1;
}

constexpr int textFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip | Qt::TextSingleLine;

// A check box for a row a click selects, a padlock for one behind authentication, and an
// information mark for a row the report only lists.
void drawSymbol(QPainter& painter, FileListModel::Kind kind, bool selected, const QRectF& box, const QColor& colour)
{
    if (kind == FileListModel::Kind::Selectable)
        RowSymbol::drawCheckBox(painter, box, selected, colour);
    else if (kind == FileListModel::Kind::Unlockable)
        LockSymbol::draw(painter, box, colour);
    else
        RowSymbol::drawInformation(painter, box, colour);
}

// The divider below every row, and the ring around the current row of a focused list.
void drawEdges(QPainter& painter, const QStyleOptionViewItem& option, const QColor& accent)
{
    const QRect row = option.rect;
    painter.setPen(QColor(128, 128, 128, 60));
    painter.drawLine(row.bottomLeft(), row.bottomRight());
    if (option.state.testFlag(QStyle::State_HasFocus)) {
        painter.setPen(QPen(accent, focusWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(row).adjusted(focusWidth, focusWidth, -focusWidth, -focusWidth), 4, 4);
    }
}

}

QSize FileRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return {400, padding * 2 + lineHeight(nameFont(option.font, false)) + lineGap + lineHeight(pathFont(option.font, false))};
}

void FileRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const bool selected = index.data(FileListModel::SelectedRole).toBool();
    const bool removed = index.data(FileListModel::RemovedRole).toBool();
    const bool togglable = index.flags().testFlag(Qt::ItemIsSelectable);
    const auto kind = static_cast<FileListModel::Kind>(index.data(FileListModel::KindRole).toInt());
    const QPalette::ColorGroup group = togglable ? QPalette::Active : QPalette::Disabled;
    const QColor accent = option.palette.color(QPalette::Active, QPalette::Highlight);
    const QColor text = option.palette.color(group, QPalette::Text);
    const QColor secondary = option.palette.color(group, QPalette::PlaceholderText);
    const QRect row = option.rect;
    if (selected) {
        QColor fill = accent;
        fill.setAlphaF(0.12f);
        painter->fillRect(row, fill);
    }
    const QRect area = row.adjusted(padding, padding, -padding, -padding);

    const QFont name = nameFont(option.font, removed);
    const int symbolSide = QFontMetrics(name).ascent();
    const QRectF symbolBox(area.left() + 1, area.top() + 1, symbolSide, symbolSide);
    const QColor symbolColour = selected ? accent : secondary;
    drawSymbol(*painter, kind, selected, symbolBox, symbolColour);

    const QString tag = index.data(FileListModel::TagRole).toString();
    const QString size = index.data(FileListModel::SizeRole).toString();
    const QFont tagFont = scaledFont(option.font, 0.8);
    const int tagWidth = tag.isEmpty() ? 0 : QFontMetrics(tagFont).horizontalAdvance(tag) + gap;
    const int sizeWidth = QFontMetrics(option.font).horizontalAdvance(size);
    const int textLeft = area.left() + symbolSide + 4 + gap;
    const int textWidth = std::max(0, area.right() - sizeWidth - tagWidth - gap - textLeft);

    painter->setFont(name);
    painter->setPen(text);
    const int nameHeight = lineHeight(name);
    painter->drawText(QRect(textLeft, area.top(), textWidth, nameHeight), textFlags,
                      QFontMetrics(name).elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideMiddle, textWidth));
    const QFont path = pathFont(option.font, removed);
    painter->setFont(path);
    painter->setPen(secondary);
    painter->drawText(QRect(textLeft, area.top() + nameHeight + lineGap, textWidth, lineHeight(path)), textFlags,
                      QFontMetrics(path).elidedText(index.data(FileListModel::PathRole).toString(), Qt::ElideMiddle, textWidth));

    painter->setFont(option.font);
    painter->setPen(text);
    painter->drawText(QRect(area.right() - sizeWidth - tagWidth, area.top(), sizeWidth, lineHeight(option.font)),
                      textFlags, size);
    if (!tag.isEmpty()) {
        painter->setFont(tagFont);
        painter->setPen(secondary);
        painter->drawText(QRect(area.right() - tagWidth + gap, area.top() + 2, tagWidth - gap, lineHeight(tagFont)),
                          textFlags, tag);
    }
    drawEdges(*painter, option, accent);
    painter->restore();
}
