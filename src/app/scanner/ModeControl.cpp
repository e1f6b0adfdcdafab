#include "ModeControl.h"

#include "Controller.h"

#include <QMenu>

ModeControl::ModeControl(Controller& c, QWidget* parent) : ModeLabel(c.readOnly(), true, true, parent), c_(c)
{
    setObjectName(QStringLiteral("modeControl"));
    auto* menu = new QMenu(this);
    for (bool readOnly : {true, false}) {
        QAction* action = menu->addAction(symbol(readOnly, palette().color(QPalette::Text)), name(readOnly));
        action->setCheckable(true);
        action->setData(readOnly);
        connect(action, &QAction::triggered, this, [this, readOnly] { c_.setReadOnly(readOnly); });
    }
    setMenu(menu);
    connect(&c_, &Controller::changed, this, &ModeControl::render);
    render();
}

void ModeControl::render()
{
    setMode(c_.readOnly(), true);
    setEnabled(!c_.busy() && !c_.authenticating());
    for (QAction* action : menu()->actions())
        action->setChecked(action->data().toBool() == c_.readOnly());
}
