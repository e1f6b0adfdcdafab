#include "app/viewer/ReturnToTallyroom.h"

ReturnToTallyroom::ReturnToTallyroom(std::function<void()> openMain, std::function<void()> dismissViewer, QWidget* parent)
    : QPushButton(QStringLiteral("Close View, back to Tallyroom"), parent)
{
    connect(this, &QPushButton::clicked, this, [openMain = std::move(openMain), dismissViewer = std::move(dismissViewer)] {
        openMain();
        dismissViewer();
    });
}
