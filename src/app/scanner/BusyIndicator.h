#pragma once

#include <QTimer>
#include <QWidget>

// A small spinning wheel of ticks, shown while an operation runs; it turns only while visible.
class BusyIndicator : public QWidget {
    Q_OBJECT

public:
    explicit BusyIndicator(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    int step() const { return step_; }
    bool spinning() const { return timer_.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    static constexpr int ticks = 12;

    QTimer timer_;
    int step_ = 0;
};
