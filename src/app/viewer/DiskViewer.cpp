#include "app/viewer/DiskViewer.h"

#include "app/operations/Controller.h"
#include "app/platform/Workspace.h"
#include "app/session/SessionDisk.h"
#include "app/trash/TrashSheet.h"
#include "app/viewer/ViewerFooter.h"
#include "app/viewer/ViewerHeader.h"
#include "app/viewer/ViewerSidebar.h"
#include "app/viewer/ViewerToolbar.h"
#include "app/viewer/graph/Map3D.h"
#include "app/widgets/CreditFooter.h"
#include "app/widgets/ScaledFont.h"

#include <QLabel>
#include <QSplitter>
#include <QStyle>
#include <QScreen>
#include <QShortcut>
#include <QWindow>
#include <QVBoxLayout>

#include <utility>

namespace {

// The map gives way to the rest of the window on screens too small for its full height, down
// to this.
constexpr int smallestMapHeight = 160;

}

DiskViewer::DiskViewer(Controller& c, Workspace& workspace, Applications& applications, OpenWindow openWindow,
                       QWidget* parent)
    : QWidget(parent), c_(c), workspace_(workspace), applications_(applications), openWindow_(std::move(openWindow)),
      wasReadOnly_(c.readOnly())
{
    setObjectName(QStringLiteral("diskViewer"));
    setMinimumSize(660, 440);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(9);
    header_ = new ViewerHeader(b_, c_, workspace_, [this] { openWindow_(QStringLiteral("main")); });
    layout->addWidget(header_);
    toolbar_ = new ViewerToolbar(b_, c_);
    layout->addWidget(toolbar_);

    auto* split = new QSplitter(Qt::Horizontal);
    split->setChildrenCollapsible(false);
    map_ = new Map3D(b_);
    map_->setObjectName(QStringLiteral("map"));
    map_->setMinimumSize(370, 320);
    map_->setAccessibleName(QStringLiteral("Rotatable 3D folder tree"));
    split->addWidget(map_);
    sidebar_ = new ViewerSidebar(b_, c_, workspace_, applications_);
    split->addWidget(sidebar_);
    split->setStretchFactor(0, 1);
    layout->addWidget(split, 1);

    footer_ = new ViewerFooter(b_, c_, [this] { openWindow_(QStringLiteral("about")); });
    layout->addWidget(footer_);
    notice_ = new QLabel;
    notice_->setObjectName(QStringLiteral("notice"));
    notice_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(notice_);
    hint_ = new QLabel;
    hint_->setObjectName(QStringLiteral("hint"));
    layout->addWidget(hint_);
    legend_ = new QLabel;
    legend_->setObjectName(QStringLiteral("legend"));
    legend_->setForegroundRole(QPalette::PlaceholderText);
    legend_->setFont(scaledFont(font(), 0.85));
    layout->addWidget(legend_);
    layout->addWidget(new CreditFooter);

    b_.setAuthenticator(&c_.authenticator());
    connect(&b_, &Branch::changed, this, &DiskViewer::render);
    connect(&c_, &Controller::changed, this, &DiskViewer::readOnlyChanged);
    addShortcuts();
    render();
}

void DiskViewer::addShortcuts()
{
    const auto shortcut = [this](const QKeySequence& keys, auto action) {
        auto* made = new QShortcut(keys, this);
        made->setContext(Qt::WidgetWithChildrenShortcut);
        connect(made, &QShortcut::activated, this, action);
    };
    shortcut(QKeySequence(Qt::Key_Escape), [this] { window()->close(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_W), [this] { window()->close(); });
    shortcut(QKeySequence(Qt::Key_F5), [this] { header_->refreshView(); });
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::ALT | Qt::Key_Up)})
        shortcut(keys, [this] {
            if (!atRoot())
                b_.up();
        });
}

QString DiskViewer::diskRoot()
{
    const auto scope = SessionDisk::current();
    return scope ? QString::fromStdString(scope->root()) : QStringLiteral("/");
}

bool DiskViewer::atRoot() const
{
    return b_.folder().path == diskRoot();
}

QString DiskViewer::hint() const
{
    if (b_.spin())
        return QStringLiteral("Spin: drag in an arc around the white center node, like turning a clock hand • Release to stop");
    if (b_.hand())
        return QStringLiteral("Hand: drag anywhere to pan • Scroll to zoom • Turn Hand off to rotate or move folders");
    if (b_.modView())
        return QStringLiteral("Drag any folder or file to move it • Shift-drag for depth • Drag empty space to rotate • Reset view restores the layout");
    return QStringLiteral("Drag to rotate • Scroll or pinch to zoom • Double-click to open • Right-click to delete");
}

QString DiskViewer::legend() const
{
    if (b_.namesShown())
        return QStringLiteral("Folder names are shown. Select any dot or sidebar entry for its full name and path.");
    return QStringLiteral("Teal: folders   Orange: files   Purple: links   •   Outer dots preview up to three children per folder.");
}

void DiskViewer::render()
{
    header_->render();
    toolbar_->render();
    sidebar_->render();
    footer_->render();
    notice_->setVisible(!b_.notice().isEmpty());
    notice_->setText(b_.notice());
    hint_->setText(hint());
    legend_->setText(legend());

    failureAlert_.show(this, b_.failure(), [this] { b_.setFailure(std::nullopt); });
    renderTrashSheet();
}

void DiskViewer::renderTrashSheet()
{
    const auto& pending = b_.pending();
    if (trashSheet_ && (!pending || pending->id != trashSheet_->ticket().id))
        std::exchange(trashSheet_, nullptr)->reject();
    if (trashSheet_) {
        trashSheet_->setApproveEnabled(!c_.readOnly());
        return;
    }
    if (!pending)
        return;
    const bool folder = pending->entry.folder;
    trashSheet_ = new TrashSheet(
        *pending, folder ? QStringLiteral("Move this folder to the Trash?") : QStringLiteral("Move this item to the Trash?"),
        folder ? QStringLiteral("This moves the folder and everything inside it. You can put it back from the Trash.")
               : QStringLiteral("You can put this item back from the Trash."),
        this);
    trashSheet_->setApproveEnabled(!c_.readOnly());
    TrashSheet* sheet = trashSheet_;
    connect(sheet, &QDialog::finished, this, [this, sheet](int result) {
        sheet->deleteLater();
        if (trashSheet_ == sheet)
            trashSheet_ = nullptr;
        const TrashReview& ticket = sheet->ticket();
        if (result == QDialog::Accepted)
            b_.approve(ticket);
        else if (b_.pending() && b_.pending()->id == ticket.id)
            b_.setPending(std::nullopt);
    });
    sheet->open();
}

void DiskViewer::readOnlyChanged()
{
    const bool readOnly = c_.readOnly();
    if (readOnly && !wasReadOnly_) {
        b_.setPending(std::nullopt);
        b_.setModView(false);
    }
    wasReadOnly_ = readOnly;
    render();
}

void DiskViewer::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!fitted_) {
        fitted_ = true;
        fitScreen();
    }
    if (b_.entries().isEmpty() && !b_.loading())
        b_.load(b_.folder(), false, false);
}

void DiskViewer::hideEvent(QHideEvent* event)
{
    // Stopping re-renders the window; not while Qt is still hiding its children.
    QMetaObject::invokeMethod(&b_, &Branch::stopReading, Qt::QueuedConnection);
    QWidget::hideEvent(event);
}

void DiskViewer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    sidebar_->keepSelectionInView();
}

// Opens no larger than the screen's free area, and lets the map give way where the screen is
// shorter than the window's usual minimum.
void DiskViewer::fitScreen()
{
    QWidget* top = window();
    const QScreen* screen = top->screen();
    if (!screen)
        return;
    const QRect free = screen->availableGeometry();
    const QSize frame = top->frameGeometry().size() - top->size();
    const QSize room = free.size() - frame;
    const int tooTall = top->minimumSizeHint().height() - room.height();
    if (tooTall > 0)
        map_->setMinimumHeight(std::max(smallestMapHeight, map_->minimumHeight() - tooTall));
    setMinimumSize(std::min(minimumWidth(), room.width()), std::min(minimumHeight(), room.height()));
    const QSize fitted = top->size().boundedTo(room);
    if (fitted != top->size()) {
        top->resize(fitted);
        const QRect placed = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, top->frameGeometry().size(), free);
        top->move(placed.topLeft());
    }
}
