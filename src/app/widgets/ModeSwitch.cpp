#include "app/widgets/ModeSwitch.h"

#include "app/operations/Controller.h"
#include "app/widgets/ModeControl.h"

ModeControl* modeSwitch(Controller& c, QWidget* parent)
{
    auto* control = new ModeControl(c.readOnly(), parent);
    QObject::connect(control, &ModeControl::chosen, &c, &Controller::setReadOnly);
    const auto render = [control, &c] { control->showMode(c.readOnly(), !c.busy() && !c.authenticating()); };
    QObject::connect(&c, &Controller::changed, control, render);
    render();
    return control;
}
