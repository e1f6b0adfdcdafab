#pragma once

#include <QList>
#include <QWidget>

class QGridLayout;

// Cells in as many equal columns as fit the width, each column at least minimumColumn wide.
class BlockGrid : public QWidget {
    Q_OBJECT

public:
    explicit BlockGrid(int minimumColumn, QWidget* parent = nullptr);

    void addCell(QWidget* cell);
    int columns() const { return columns_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void arrange(int columns);

    int minimumColumn_;
    int columns_ = 0;
    QList<QWidget*> cells_;
    QGridLayout* grid_ = nullptr;
};
