#include "app/viewer/SidewaysRow.h"

#include <QScrollBar>

SidewaysRow::SidewaysRow(QWidget* row)
{
    setWidget(row);
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    // Only the controls inside take focus; the row itself is no stop of its own.
    setFocusPolicy(Qt::NoFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    viewport()->setAutoFillBackground(false);
    row->setAutoFillBackground(false);
    setFixedHeight(heightFor(row->sizeHint().width()));
}

QSize SidewaysRow::sizeHint() const
{
    return {widget()->sizeHint().width(), heightFor(width())};
}

QSize SidewaysRow::minimumSizeHint() const
{
    return {0, heightFor(width())};
}

void SidewaysRow::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    const int wanted = heightFor(width());
    if (height() != wanted)
        setFixedHeight(wanted);
}

// The row's own height, and room for the scroll bar only while the row does not fit.
int SidewaysRow::heightFor(int width) const
{
    const QWidget* row = widget();
    const bool fits = width >= row->minimumSizeHint().width();
    return row->sizeHint().height() + (fits ? 0 : horizontalScrollBar()->sizeHint().height());
}
