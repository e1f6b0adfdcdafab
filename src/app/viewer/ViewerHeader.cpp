#include "app/viewer/ViewerHeader.h"

#include "app/operations/Controller.h"
#include "app/platform/Workspace.h"
#include "app/viewer/DiskViewer.h"
#include "app/viewer/LocationLabel.h"
#include "app/viewer/ReturnToTallyroom.h"
#include "app/viewer/WrappingRow.h"
#include "app/viewer/model/Branch.h"

#include <QHBoxLayout>
#include <QPushButton>

ViewerHeader::ViewerHeader(Branch& b, Controller& c, Workspace& workspace, std::function<void()> openMain, QWidget* parent)
    : QWidget(parent), b_(b), c_(c), workspace_(workspace)
{
    auto* row = new WrappingRow(this);
    auto* place = new QWidget;
    auto* placeRow = new QHBoxLayout(place);
    placeRow->setContentsMargins(0, 0, 0, 0);
    auto* drive = new QPushButton(QStringLiteral("Drive"));
    up_ = new QPushButton(QStringLiteral("Up"));
    location_ = new LocationLabel;
    placeRow->addWidget(drive);
    placeRow->addWidget(up_);
    placeRow->addWidget(location_, 2);
    placeRow->addStretch(1);
    placeRow->addWidget(new ReturnToTallyroom(std::move(openMain), [this] { window()->close(); }));
    placeRow->addStretch(1);
    row->addGroup(place, 1);
    auto* commands = new QWidget;
    auto* commandRow = new QHBoxLayout(commands);
    commandRow->setContentsMargins(0, 0, 0, 0);
    addFolderCommands(commandRow);
    row->addGroup(commands);
    connect(drive, &QPushButton::clicked, this,
            [this] { b_.load(VEntry {DiskViewer::diskRoot(), true, false, 0}, false, false); });
    connect(up_, &QPushButton::clicked, &b_, &Branch::up);
}

void ViewerHeader::addFolderCommands(QLayout* row)
{
    reveal_ = new QPushButton(QStringLiteral("Show in Finder"));
    deleteFolder_ = new QPushButton(QStringLiteral("Delete This Folder…"));
    deleteFolder_->setToolTip(QStringLiteral("Review the open folder and its contents before moving them to the Trash"));
    refresh_ = new QPushButton(QStringLiteral("Refresh View"));
    refresh_->setToolTip(QStringLiteral("Reload this folder and its previews while keeping your layout"));
    auto* reset = new QPushButton(QStringLiteral("Reset View"));
    reset->setToolTip(QStringLiteral("Refresh files and folders from disk and reset the camera"));
    for (QPushButton* button : {reveal_, deleteFolder_, refresh_, reset})
        row->addWidget(button);
    connect(reveal_, &QPushButton::clicked, this,
            [this] { workspace_.reveal(b_.selected() ? b_.selected()->path : b_.folder().path); });
    connect(deleteFolder_, &QPushButton::clicked, this, [this] { b_.requestTrash(b_.folder()); });
    connect(refresh_, &QPushButton::clicked, this, [this] { b_.reloadView(true); });
    connect(reset, &QPushButton::clicked, this, [this] { b_.reloadView(false); });
}

void ViewerHeader::render()
{
    const bool atRoot = b_.folder().path == DiskViewer::diskRoot();
    up_->setEnabled(!atRoot);
    location_->setLocation(atRoot ? b_.folder().title() : b_.folder().path);
    const QString revealed = b_.selected() ? b_.selected()->path : b_.folder().path;
    reveal_->setToolTip(QStringLiteral("Reveal ") + revealed);
    deleteFolder_->setEnabled(!c_.readOnly() && !atRoot && !b_.moving());
    refresh_->setEnabled(!b_.loading() && !b_.moving());
}

void ViewerHeader::refreshView()
{
    refresh_->click();
}
