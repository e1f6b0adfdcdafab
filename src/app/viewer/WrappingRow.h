#pragma once

#include <QLayout>
#include <QList>

// Groups of controls on one line, as a horizontal box lays them out, while the row is wide
// enough for every group at its natural width; a group that does not fit starts a new line
// below, so no control is ever out of reach. A line's spare width goes to its groups by their
// stretch.
class WrappingRow : public QLayout {
public:
    explicit WrappingRow(QWidget* parent = nullptr);
    ~WrappingRow() override;

    void addGroup(QWidget* group, int stretch = 0);

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Lays the groups out in `rect`, or only measures when `place` is false; returns the height.
    int arrange(const QRect& rect, bool place) const;
    int lineEnd(int first, int width) const;
    void placeLine(int first, int end, const QRect& line) const;
    int gap() const;

    QList<QLayoutItem*> items_;
    QList<int> stretches_;
};
