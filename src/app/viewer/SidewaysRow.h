#pragma once

#include <QScrollArea>

// A row of controls at its natural width. In a window narrower than the row, the row scrolls
// sideways instead of squeezing its controls over one another; Tab still brings each into view.
class SidewaysRow : public QScrollArea {
public:
    explicit SidewaysRow(QWidget* row);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int heightFor(int width) const;
};
