#pragma once

#include <QObject>

class QWidget;

// Gives a window its first size, 690 × 425, centred, once, shortly after it is shown; a
// full-screen window keeps its size.
class StartupWindowSize : public QObject {
    Q_OBJECT

public:
    static constexpr int width = 690;
    static constexpr int height = 425;

    explicit StartupWindowSize(QWidget* window);

    bool applied() const { return applied_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply();

    QWidget* window_;
    bool applied_ = false;
};
