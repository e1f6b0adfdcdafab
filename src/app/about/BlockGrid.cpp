#include "app/about/BlockGrid.h"

#include <QGridLayout>
#include <QResizeEvent>

#include <algorithm>

BlockGrid::BlockGrid(int minimumColumn, QWidget* parent) : QWidget(parent), minimumColumn_(minimumColumn)
{
    grid_ = new QGridLayout(this);
    grid_->setContentsMargins(0, 0, 0, 0);
    grid_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    arrange(1);
}

void BlockGrid::addCell(QWidget* cell)
{
    cells_.append(cell);
    const int columns = columns_;
    columns_ = 0;
    arrange(columns);
}

void BlockGrid::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int spacing = grid_->horizontalSpacing();
    arrange(std::max(1, (event->size().width() + spacing) / (minimumColumn_ + spacing)));
}

void BlockGrid::arrange(int columns)
{
    if (columns == columns_)
        return;
    columns_ = columns;
    for (QWidget* cell : std::as_const(cells_))
        grid_->removeWidget(cell);
    for (int column = 0; column < grid_->columnCount(); ++column)
        grid_->setColumnStretch(column, 0);
    for (int index = 0; index < cells_.size(); ++index)
        grid_->addWidget(cells_[index], index / columns, index % columns, Qt::AlignTop);
    for (int column = 0; column < columns; ++column)
        grid_->setColumnStretch(column, 1);
}
