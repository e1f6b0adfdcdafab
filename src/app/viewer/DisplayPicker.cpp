#include "app/viewer/DisplayPicker.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

QPushButton* segment(const QString& title, const char* side)
{
    auto* button = new QPushButton(title);
    button->setCheckable(true);
    button->setAccessibleName(title);
    button->setProperty("segment", QString::fromLatin1(side));
    return button;
}

}

DisplayPicker::DisplayPicker(QWidget* parent)
    : QWidget(parent), paged_(segment(QStringLiteral("Paged-View"), "first")), all_(segment(QStringLiteral("Full-View"), "last"))
{
    setObjectName(QStringLiteral("display"));
    setAccessibleName(QStringLiteral("Display"));
    setToolTip(QStringLiteral("Show one page or every matching item in the current folder"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (QPushButton* button : {paged_, all_}) {
        group->addButton(button);
        row->addWidget(button, 1);
    }
    paged_->setChecked(true);
    // One segment is always on, so Full-View's state is the choice, however it was pressed.
    connect(all_, &QPushButton::toggled, this, &DisplayPicker::chosen);
}

bool DisplayPicker::full() const
{
    return all_->isChecked();
}

void DisplayPicker::setFull(bool full)
{
    const QSignalBlocker quiet(all_);
    (full ? all_ : paged_)->setChecked(true);
}
