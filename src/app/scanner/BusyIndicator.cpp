#include "app/scanner/BusyIndicator.h"

#include <QPainter>

BusyIndicator::BusyIndicator(QWidget* parent) : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Busy"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    timer_.setInterval(80);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % ticks;
        update();
    });
}

QSize BusyIndicator::sizeHint() const
{
    const int side = fontMetrics().height();
    return {side, side};
}

void BusyIndicator::showEvent(QShowEvent*)
{
    timer_.start();
}

void BusyIndicator::hideEvent(QHideEvent*)
{
    timer_.stop();
}

void BusyIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(width(), height());
    painter.translate(width() / 2.0, height() / 2.0);
    QColor colour = palette().color(QPalette::WindowText);
    const qreal thickness = std::max<qreal>(1.5, side / 10);
    for (int i = 0; i < ticks; ++i) {
        // The tick at the current step is darkest; the ones behind it fade.
        const int behind = (step_ - i + ticks) % ticks;
        colour.setAlphaF(static_cast<float>(1.0 - 0.75 * behind / (ticks - 1)));
        painter.setPen(QPen(colour, thickness, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -side * 0.22), QPointF(0, -side * 0.45));
        painter.rotate(360.0 / ticks);
    }
}
