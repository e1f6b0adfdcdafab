#include "app/scanner/FocusRingStyle.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

constexpr qreal ringWidth = 2;

}

FocusRingStyle::FocusRingStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
{
}

void FocusRingStyle::applyTo(QWidget* part)
{
    auto* style = new FocusRingStyle;
    style->setParent(part);
    // A button with a style sheet draws its focus through the sheet's own :focus rule.
    for (QAbstractButton* button : part->findChildren<QAbstractButton*>())
        if (button->styleSheet().isEmpty())
            button->setStyle(style);
}

void FocusRingStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                   const QWidget* widget) const
{
    if (element != PE_FrameFocusRect) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    if (!option->state.testFlag(State_KeyboardFocusChange))
        return;
    // A check box rings its label; other buttons ring their whole face.
    const bool wholeFace = widget && !qobject_cast<const QCheckBox*>(widget);
    const QRectF ring = QRectF(wholeFace ? widget->rect() : option->rect).adjusted(ringWidth / 2, ringWidth / 2, -ringWidth / 2, -ringWidth / 2);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(option->palette.color(QPalette::Active, QPalette::Highlight), ringWidth));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(ring, 4, 4);
    painter->restore();
}
