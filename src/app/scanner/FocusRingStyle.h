#pragma once

#include <QProxyStyle>

class QWidget;

// The application's style with a clear focus mark: a ring in the highlight colour around the
// whole control that has keyboard focus, instead of a faint dotted box.
class FocusRingStyle : public QProxyStyle {
    Q_OBJECT

public:
    FocusRingStyle();

    // Gives every button and check box inside the window part the ring, except those drawn
    // by a style sheet.
    static void applyTo(QWidget* part);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
};
