#include "ModeLabel.h"

#include "LockSymbol.h"

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

QString ModeLabel::symbol(bool readOnly)
{
    return readOnly ? QString() : QStringLiteral("✎");
}

void ModeLabel::setMode(bool readOnly, bool selected)
{
    readOnly_ = readOnly;
    selected_ = selected;
    render();
}

void ModeLabel::render()
{
    setIcon(readOnly_ ? LockSymbol::icon(palette().color(QPalette::Text)) : QIcon());
    setText((readOnly_ ? QString() : symbol(readOnly_) + QLatin1Char(' ')) + name(readOnly_)
            + (dropdown_ ? QStringLiteral("  ⌄") : QString()));
    setChecked(selected_ && isCheckable());
    const QString accent = readOnly_ ? QStringLiteral("70, 120, 200") : QStringLiteral("200, 110, 40");
    setStyleSheet(selected_ ? QStringLiteral("QPushButton { font-weight: bold; border: 1px solid rgba(%1, 0.7); border-radius: 6px;"
                                             " padding: 4px 10px; background: rgba(%1, 0.18); color: palette(text); }"
                                             "QPushButton::menu-indicator { image: none; width: 0; }")
                                  .arg(accent)
                            : QStringLiteral("QPushButton { border: 1px solid rgba(128, 128, 128, 0.4); border-radius: 6px;"
                                             " padding: 4px 10px; background: transparent; color: palette(text); }"));
}
