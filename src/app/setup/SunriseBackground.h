#pragma once

#include <QWidget>

// The warm diagonal gradient behind the setup and scanner windows; darker in a dark scheme.
class SunriseBackground : public QWidget {
    Q_OBJECT

public:
    explicit SunriseBackground(QWidget* parent = nullptr);

    // The palette's window colour decides the scheme.
    bool darkScheme() const;
    QLinearGradient gradient() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
