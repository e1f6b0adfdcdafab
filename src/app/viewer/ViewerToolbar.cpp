#include "app/viewer/ViewerToolbar.h"

#include "app/operations/Controller.h"
#include "app/viewer/DisplayPicker.h"
#include "app/viewer/ViewerIcons.h"
#include "app/viewer/WrappingRow.h"
#include "app/viewer/model/Branch.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>

namespace {

QPushButton* toggle(const QString& title, const QString& help)
{
    auto* button = new QPushButton(title);
    button->setCheckable(true);
    button->setToolTip(help);
    return button;
}

}

ViewerToolbar::ViewerToolbar(Branch& b, Controller& c, QWidget* parent) : QWidget(parent), b_(b), c_(c)
{
    auto* row = new WrappingRow(this);
    auto* display = new QWidget;
    auto* displayRow = new QHBoxLayout(display);
    displayRow->setContentsMargins(0, 0, 0, 0);
    display_ = new DisplayPicker;
    display_->setFixedWidth(250);
    displayRow->addWidget(display_);
    addModes(displayRow);
    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::VLine);
    divider->setFixedHeight(18);
    displayRow->addWidget(divider);
    row->addGroup(display);
    auto* views = new QWidget;
    auto* viewsRow = new QHBoxLayout(views);
    viewsRow->setContentsMargins(0, 0, 0, 0);
    addSlots(viewsRow);
    row->addGroup(views);
    connect(display_, &DisplayPicker::chosen, &b_, &Branch::setFull);
}

void ViewerToolbar::addModes(QLayout* row)
{
    hand_ = toggle(QStringLiteral("Hand"), QStringLiteral("Drag anywhere to pan the whole graph without rotating"));
    hand_->setIcon(ViewerIcons::hand());
    spin_ = toggle(QStringLiteral("Spin"), QStringLiteral("Drag around the central node like turning a wheel; release to stop"));
    spin_->setIcon(ViewerIcons::spin());
    modify_ = toggle(QStringLiteral("Modify"), QStringLiteral("Drag any file or folder on the map; the center stays pinned"));
    for (QPushButton* button : {hand_, spin_, modify_})
        row->addWidget(button);
    connect(hand_, &QPushButton::toggled, &b_, &Branch::setHand);
    connect(spin_, &QPushButton::toggled, &b_, &Branch::setSpin);
    connect(modify_, &QPushButton::toggled, &b_, &Branch::setModView);
}

void ViewerToolbar::addSlots(QLayout* row)
{
    for (int slot = 1; slot <= 3; ++slot) {
        slots_.append(slotButton(slot));
        row->addWidget(slots_.last());
    }
    saveView_ = saveViewButton();
    row->addWidget(saveView_);
}

QPushButton* ViewerToolbar::slotButton(int slot)
{
    auto* button = new QPushButton(QStringLiteral("View") + QString::number(slot));
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(button, &QPushButton::clicked, this, [this, slot] { b_.recall(slot); });
    connect(button, &QWidget::customContextMenuRequested, this, [this, button, slot](const QPoint& at) {
        QMenu menu;
        QAction* clear = menu.addAction(QStringLiteral("Clear View"));
        clear->setEnabled(!c_.readOnly() && b_.savedSlots().count(slot));
        connect(clear, &QAction::triggered, this, [this, slot] { b_.clearView(slot); });
        menu.exec(button->mapToGlobal(at));
    });
    return button;
}

// A push button keeps its menu arrow clear of the title.
QPushButton* ViewerToolbar::saveViewButton()
{
    auto* button = new QPushButton(QStringLiteral("Save View…"));
    button->setObjectName(QStringLiteral("saveView"));
    auto* menu = new QMenu(button);
    for (int slot = 1; slot <= 3; ++slot)
        connect(menu->addAction(QStringLiteral("Save to View") + QString::number(slot)), &QAction::triggered, this,
                [this, slot] { b_.saveView(slot); });
    button->setMenu(menu);
    return button;
}

void ViewerToolbar::render()
{
    const bool readOnly = c_.readOnly();
    display_->setFull(b_.fullView());
    hand_->setChecked(b_.hand());
    spin_->setChecked(b_.spin());
    modify_->setChecked(b_.modView());
    modify_->setEnabled(!readOnly);
    for (int slot = 1; slot <= 3; ++slot) {
        QPushButton* button = slots_[slot - 1];
        button->setEnabled(b_.savedSlots().count(slot) > 0);
        button->setToolTip(QStringLiteral("Restore View") + QString::number(slot) + QStringLiteral(" for ") + b_.folder().path);
    }
    saveView_->setEnabled(!readOnly && !b_.loading());
    saveView_->setToolTip(QStringLiteral("Save a layout for ") + b_.folder().path);
}
