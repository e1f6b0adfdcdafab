#include "app/widgets/ModeControl.h"

#include <QMenu>

ModeControl::ModeControl(bool readOnly, QWidget* parent) : ModeLabel(readOnly, true, true, parent)
{
    setObjectName(QStringLiteral("modeControl"));
    auto* menu = new QMenu(this);
    for (bool mode : {true, false}) {
        QAction* action = menu->addAction(symbol(mode, palette().color(QPalette::Text)), name(mode));
        action->setCheckable(true);
        action->setData(mode);
        connect(action, &QAction::triggered, this, [this, mode] { emit chosen(mode); });
    }
    setMenu(menu);
}

void ModeControl::showMode(bool readOnly, bool switchable)
{
    setMode(readOnly, true);
    setEnabled(switchable);
    for (QAction* action : menu()->actions())
        action->setChecked(action->data().toBool() == readOnly);
}
