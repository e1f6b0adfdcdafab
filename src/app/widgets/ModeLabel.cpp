#include "app/widgets/ModeLabel.h"

#include "app/widgets/LockSymbol.h"
#include "app/widgets/SymbolIcon.h"

#include <QPainter>

namespace {

constexpr int chevronSize = 12;
constexpr int chevronRoom = chevronSize + 8;

}

ModeLabel::ModeLabel(bool readOnly, bool selected, bool dropdown, QWidget* parent)
    : QPushButton(parent), readOnly_(readOnly), selected_(selected), dropdown_(dropdown)
{
    setCheckable(!dropdown);
    render();
}

QString ModeLabel::name(bool readOnly)
{
    return readOnly ? QStringLiteral("Read-Only Mode") : QStringLiteral("Active Mode");
}

QIcon ModeLabel::symbol(bool readOnly, const QColor& colour)
{
    if (readOnly)
        return LockSymbol::icon(colour);
    return SymbolIcon::named(QStringLiteral("document-edit-symbolic"), QStringLiteral("pencil"), colour);
}

void ModeLabel::setMode(bool readOnly, bool selected)
{
    readOnly_ = readOnly;
    selected_ = selected;
    render();
}

void ModeLabel::render()
{
    setIcon(symbol(readOnly_, palette().color(QPalette::Text)));
    setText(name(readOnly_));
    setChecked(selected_ && isCheckable());
    const QString accent = readOnly_ ? QStringLiteral("70, 120, 200") : QStringLiteral("200, 110, 40");
    const QString rightPadding = QStringLiteral("%1px").arg(dropdown_ ? 10 + chevronRoom : 10);
    setStyleSheet(selected_ ? QStringLiteral("QPushButton { font-weight: bold; border: 1px solid rgba(%1, 0.7); border-radius: 6px;"
                                             " padding: 4px %2 4px 10px; background: rgba(%1, 0.18); color: palette(text); }"
                                             "QPushButton::menu-indicator { image: none; width: 0; }")
                                  .arg(accent, rightPadding)
                            : QStringLiteral("QPushButton { border: 1px solid rgba(128, 128, 128, 0.4); border-radius: 6px;"
                                             " padding: 4px %1 4px 10px; background: transparent; color: palette(text); }")
                                  .arg(rightPadding));
}

void ModeLabel::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    if (!dropdown_)
        return;
    QPainter painter(this);
    const QColor colour = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text);
    const QPixmap chevron = SymbolIcon::named(QStringLiteral("pan-down-symbolic"), QStringLiteral("chevron-down"), colour)
                                .pixmap(QSize(chevronSize, chevronSize), devicePixelRatioF());
    const QPoint at(width() - chevronRoom, (height() - chevronSize) / 2);
    painter.drawPixmap(at, chevron);
}
