#include "app/viewer/WrappingRow.h"

#include <QWidget>

#include <algorithm>

WrappingRow::WrappingRow(QWidget* parent) : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
}

WrappingRow::~WrappingRow()
{
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void WrappingRow::addGroup(QWidget* group, int stretch)
{
    addChildWidget(group);
    items_.append(new QWidgetItem(group));
    stretches_.append(stretch);
    invalidate();
}

void WrappingRow::addItem(QLayoutItem* item)
{
    items_.append(item);
    stretches_.append(0);
}

int WrappingRow::count() const
{
    return static_cast<int>(items_.size());
}

QLayoutItem* WrappingRow::itemAt(int index) const
{
    return items_.value(index);
}

QLayoutItem* WrappingRow::takeAt(int index)
{
    if (index < 0 || index >= items_.size())
        return nullptr;
    stretches_.removeAt(index);
    return items_.takeAt(index);
}

Qt::Orientations WrappingRow::expandingDirections() const
{
    return Qt::Horizontal;
}

bool WrappingRow::hasHeightForWidth() const
{
    return true;
}

int WrappingRow::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false);
}

// Every group on one line.
QSize WrappingRow::sizeHint() const
{
    int width = 0;
    int height = 0;
    for (QLayoutItem* item : items_) {
        if (item->isEmpty())
            continue;
        width += (width > 0 ? gap() : 0) + item->sizeHint().width();
        height = std::max(height, item->sizeHint().height());
    }
    const QMargins margins = contentsMargins();
    return {width + margins.left() + margins.right(), height + margins.top() + margins.bottom()};
}

// Each group on a line of its own.
QSize WrappingRow::minimumSize() const
{
    int width = 0;
    for (QLayoutItem* item : items_)
        if (!item->isEmpty())
            width = std::max(width, item->minimumSize().width());
    const QMargins margins = contentsMargins();
    return {width + margins.left() + margins.right(), sizeHint().height()};
}

void WrappingRow::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int WrappingRow::arrange(const QRect& rect, bool place) const
{
    const QMargins margins = contentsMargins();
    const QRect area = rect.marginsRemoved(margins);
    int y = area.y();
    bool firstLine = true;
    for (int first = 0; first < items_.size();) {
        const int end = lineEnd(first, area.width());
        int height = 0;
        for (int i = first; i < end; ++i)
            if (!items_[i]->isEmpty())
                height = std::max(height, items_[i]->sizeHint().height());
        if (height > 0) {
            y += firstLine ? 0 : gap();
            firstLine = false;
            if (place)
                placeLine(first, end, QRect(area.x(), y, area.width(), height));
            y += height;
        }
        first = end;
    }
    return y - area.y() + margins.top() + margins.bottom();
}

// The end of the line that starts at `first`: as many groups as fit, and at least one.
int WrappingRow::lineEnd(int first, int width) const
{
    int used = 0;
    int end = first;
    for (; end < items_.size(); ++end) {
        if (items_[end]->isEmpty())
            continue;
        const int wanted = (used > 0 ? gap() : 0) + items_[end]->sizeHint().width();
        if (used > 0 && used + wanted > width)
            break;
        used += wanted;
    }
    return end;
}

void WrappingRow::placeLine(int first, int end, const QRect& line) const
{
    int used = 0;
    int stretch = 0;
    int shown = 0;
    for (int i = first; i < end; ++i) {
        if (items_[i]->isEmpty())
            continue;
        used += items_[i]->sizeHint().width();
        stretch += stretches_[i];
        ++shown;
    }
    int spare = line.width() - used - gap() * (shown - 1);
    int x = line.x();
    for (int i = first; i < end; ++i) {
        QLayoutItem* item = items_[i];
        if (item->isEmpty())
            continue;
        int width = item->sizeHint().width();
        if (shown == 1 && spare < 0)
            width = std::max(item->minimumSize().width(), line.width());
        else if (stretch > 0 && stretches_[i] > 0) {
            const int share = spare * stretches_[i] / stretch;
            width += share;
            spare -= share;
            stretch -= stretches_[i];
        }
        item->setGeometry(QRect(x, line.y(), width, line.height()));
        x += width + gap();
    }
}

int WrappingRow::gap() const
{
    return std::max(0, spacing());
}
