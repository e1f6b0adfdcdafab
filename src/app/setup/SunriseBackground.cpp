#include "app/setup/SunriseBackground.h"

#include <QPainter>

SunriseBackground::SunriseBackground(QWidget* parent) : QWidget(parent)
{
}

bool SunriseBackground::darkScheme() const
{
    return palette().color(QPalette::Window).lightnessF() < 0.5;
}

QLinearGradient SunriseBackground::gradient() const
{
    QLinearGradient gradient(rect().topLeft(), rect().bottomRight());
    if (darkScheme()) {
        gradient.setColorAt(0, QColor::fromRgbF(0.16f, 0.21f, 0.27f));
        gradient.setColorAt(0.5, QColor::fromRgbF(0.22f, 0.23f, 0.26f));
        gradient.setColorAt(1, QColor::fromRgbF(0.31f, 0.24f, 0.22f));
    } else {
        gradient.setColorAt(0, QColor::fromRgbF(0.78f, 0.85f, 0.90f));
        gradient.setColorAt(0.5, QColor::fromRgbF(0.89f, 0.88f, 0.86f));
        gradient.setColorAt(1, QColor::fromRgbF(0.96f, 0.83f, 0.74f));
    }
    return gradient;
}

void SunriseBackground::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), gradient());
}
