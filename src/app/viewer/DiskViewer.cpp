#include "app/viewer/DiskViewer.h"

#include "app/operations/Controller.h"
#include "app/platform/Workspace.h"
#include "app/session/SessionDisk.h"
#include "app/texts/Fmt.h"
#include "app/trash/TrashSheet.h"
#include "app/viewer/DisplayPicker.h"
#include "app/viewer/EntryList.h"
#include "app/viewer/LocationLabel.h"
#include "app/viewer/OpenWithMenu.h"
#include "app/viewer/ReturnToTallyroom.h"
#include "app/viewer/SidewaysRow.h"
#include "app/viewer/ViewerIcons.h"
#include "app/viewer/graph/Map3D.h"
#include "app/viewer/model/SidebarModel.h"
#include "app/widgets/CreditFooter.h"
#include "app/widgets/MemoryReadout.h"
#include "app/widgets/ModeControl.h"
#include "app/widgets/ModeSwitch.h"
#include "app/widgets/ReleaseTitle.h"
#include "app/widgets/ScaledFont.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QScreen>
#include <QShortcut>
#include <QWindow>
#include <QVBoxLayout>

#include <utility>

namespace {

QPushButton* toggle(const QString& title, const QString& help)
{
    auto* button = new QPushButton(title);
    button->setCheckable(true);
    button->setToolTip(help);
    return button;
}

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
    layout->addWidget(new SidewaysRow(header()));
    layout->addWidget(new SidewaysRow(toolbar()));

    auto* split = new QSplitter(Qt::Horizontal);
    split->setChildrenCollapsible(false);
    map_ = new Map3D(b_);
    map_->setObjectName(QStringLiteral("map"));
    map_->setMinimumSize(370, 320);
    map_->setAccessibleName(QStringLiteral("Rotatable 3D folder tree"));
    split->addWidget(map_);
    split->addWidget(sidebar());
    split->setStretchFactor(0, 1);
    layout->addWidget(split, 1);

    layout->addWidget(footer());
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
    shortcut(QKeySequence(Qt::Key_F5), [this] { refresh_->click(); });
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

QWidget* DiskViewer::header()
{
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto* drive = new QPushButton(QStringLiteral("Drive"));
    up_ = new QPushButton(QStringLiteral("Up"));
    location_ = new LocationLabel;
    row->addWidget(drive);
    row->addWidget(up_);
    row->addWidget(location_, 2);
    row->addStretch(1);
    row->addWidget(new ReturnToTallyroom([this] { openWindow_(QStringLiteral("main")); }, [this] { window()->close(); }));
    row->addStretch(1);
    reveal_ = new QPushButton(QStringLiteral("Show in Finder"));
    deleteFolder_ = new QPushButton(QStringLiteral("Delete This Folder…"));
    deleteFolder_->setToolTip(QStringLiteral("Review the open folder and its contents before moving them to the Trash"));
    refresh_ = new QPushButton(QStringLiteral("Refresh View"));
    refresh_->setToolTip(QStringLiteral("Reload this folder and its previews while keeping your layout"));
    auto* reset = new QPushButton(QStringLiteral("Reset View"));
    reset->setToolTip(QStringLiteral("Refresh files and folders from disk and reset the camera"));
    for (QPushButton* button : {reveal_, deleteFolder_, refresh_, reset})
        row->addWidget(button);

    connect(drive, &QPushButton::clicked, this, [this] { b_.load(VEntry {diskRoot(), true, false, 0}, false, false); });
    connect(up_, &QPushButton::clicked, &b_, &Branch::up);
    connect(reveal_, &QPushButton::clicked, this,
            [this] { workspace_.reveal(b_.selected() ? b_.selected()->path : b_.folder().path); });
    connect(deleteFolder_, &QPushButton::clicked, this, [this] { b_.requestTrash(b_.folder()); });
    connect(refresh_, &QPushButton::clicked, this, [this] { b_.reloadView(true); });
    connect(reset, &QPushButton::clicked, this, [this] { b_.reloadView(false); });
    return box;
}

QWidget* DiskViewer::toolbar()
{
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    display_ = new DisplayPicker;
    display_->setFixedWidth(250);
    row->addWidget(display_);
    hand_ = toggle(QStringLiteral("Hand"), QStringLiteral("Drag anywhere to pan the whole graph without rotating"));
    hand_->setIcon(ViewerIcons::hand());
    spin_ = toggle(QStringLiteral("Spin"), QStringLiteral("Drag around the central node like turning a wheel; release to stop"));
    spin_->setIcon(ViewerIcons::spin());
    modify_ = toggle(QStringLiteral("Modify"), QStringLiteral("Drag any file or folder on the map; the center stays pinned"));
    for (QPushButton* button : {hand_, spin_, modify_})
        row->addWidget(button);
    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::VLine);
    divider->setFixedHeight(18);
    row->addWidget(divider);
    for (int slot = 1; slot <= 3; ++slot) {
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
        slots_.append(button);
        row->addWidget(button);
    }
    // A push button keeps its menu arrow clear of the title.
    saveView_ = new QPushButton(QStringLiteral("Save View…"));
    saveView_->setObjectName(QStringLiteral("saveView"));
    auto* menu = new QMenu(saveView_);
    for (int slot = 1; slot <= 3; ++slot)
        connect(menu->addAction(QStringLiteral("Save to View") + QString::number(slot)), &QAction::triggered, this,
                [this, slot] { b_.saveView(slot); });
    saveView_->setMenu(menu);
    row->addWidget(saveView_);
    row->addStretch();

    connect(display_, &DisplayPicker::chosen, &b_, &Branch::setFull);
    connect(hand_, &QPushButton::clicked, this, [this](bool on) {
        b_.setHand(on);
        if (on)
            b_.setSpin(false);
    });
    connect(spin_, &QPushButton::clicked, this, [this](bool on) {
        b_.setSpin(on);
        if (on)
            b_.setHand(false);
    });
    connect(modify_, &QPushButton::clicked, this, [this](bool on) {
        b_.setModView(on);
        if (on) {
            b_.setSpin(false);
            b_.setHand(false);
        }
    });
    return box;
}

QWidget* DiskViewer::sidebar()
{
    auto* box = new QWidget;
    box->setMinimumWidth(225);
    box->setMaximumWidth(360);
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(8, 8, 8, 8);
    find_ = new QLineEdit;
    find_->setObjectName(QStringLiteral("find"));
    find_->setPlaceholderText(QStringLiteral("Find in this folder"));
    find_->setAccessibleName(QStringLiteral("Find in this folder"));
    find_->setClearButtonEnabled(true);
    column->addWidget(find_);
    showHidden_ = new QCheckBox(QStringLiteral("Show hidden"));
    column->addWidget(showHidden_);
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("message"));
    message_->setForegroundRole(QPalette::PlaceholderText);
    message_->setFont(scaledFont(font(), 0.85));
    message_->setWordWrap(true);
    column->addWidget(message_);

    entries_ = new SidebarModel(b_, this);
    list_ = new EntryList(*entries_);
    column->addWidget(list_, 1);

    auto* pagingRow = new QHBoxLayout;
    pager_ = new QWidget;
    auto* pager = new QHBoxLayout(pager_);
    pager->setContentsMargins(0, 0, 0, 0);
    previousPage_ = new QPushButton(QStringLiteral("‹"));
    nextPage_ = new QPushButton(QStringLiteral("›"));
    pageText_ = new QLabel;
    pageText_->setObjectName(QStringLiteral("pageText"));
    pageText_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    previousPage_->setAccessibleName(QStringLiteral("Previous page"));
    nextPage_->setAccessibleName(QStringLiteral("Next page"));
    for (QPushButton* arrow : {previousPage_, nextPage_})
        arrow->setFixedWidth(28);
    pager->addWidget(previousPage_);
    pager->addWidget(pageText_);
    pager->addWidget(nextPage_);
    pagingRow->addWidget(pager_);
    itemCount_ = new QLabel;
    itemCount_->setObjectName(QStringLiteral("itemCount"));
    itemCount_->setFont(scaledFont(font(), 0.85));
    pagingRow->addWidget(itemCount_);
    pagingRow->addStretch();
    column->addLayout(pagingRow);

    details_ = new QWidget;
    auto* details = new QVBoxLayout(details_);
    details->setContentsMargins(0, 0, 0, 0);
    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    details->addWidget(divider);
    detailPath_ = new QLabel;
    detailPath_->setObjectName(QStringLiteral("detailPath"));
    detailPath_->setWordWrap(true);
    detailPath_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    detailPath_->setFont(scaledFont(font(), 0.85));
    detailKind_ = new QLabel;
    detailKind_->setObjectName(QStringLiteral("detailKind"));
    detailKind_->setFont(scaledFont(font(), 0.85));
    details->addWidget(detailPath_);
    details->addWidget(detailKind_);
    column->addWidget(details_);

    connect(find_, &QLineEdit::textEdited, &b_, &Branch::find);
    connect(showHidden_, &QCheckBox::clicked, this, [this](bool on) {
        b_.setHidden(on);
        b_.load(b_.folder(), false, false);
    });
    connect(previousPage_, &QPushButton::clicked, this, [this] { b_.navigate(b_.page() - 1); });
    connect(nextPage_, &QPushButton::clicked, this, [this] { b_.navigate(b_.page() + 1); });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this, &DiskViewer::listSelectionChanged);
    connect(list_, &EntryList::openRequested, this, [this](int row) { b_.load(entries_->entry(row), false, false); });
    connect(list_, &EntryList::menuRequested, this, &DiskViewer::showEntryMenu);
    return box;
}

QWidget* DiskViewer::footer()
{
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    row->addWidget(modeSwitch(c_));
    auto* badge = new QLabel(QStringLiteral("Folder contents simplified at higher levels.  Double click for full view."));
    badge->setObjectName(QStringLiteral("badge"));
    badge->setStyleSheet(QStringLiteral("QLabel { padding: 4px 8px; border: 1px solid rgba(128, 128, 128, 0.6); }"));
    // Never cut: the flexible space beside the graph pager gives way first, and where the row
    // is still too narrow the badge takes a second line.
    badge->setWordWrap(true);
    badge->setMinimumWidth(badge->fontMetrics().horizontalAdvance(QStringLiteral("Folder contents simplified")) + 18);
    badge->setMaximumWidth(badge->fontMetrics().horizontalAdvance(badge->text()) + 24);
    badge->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
    row->addWidget(badge, 1);
    auto* about = new QPushButton(aboutTitle());
    connect(about, &QPushButton::clicked, this, [this] { openWindow_(QStringLiteral("about")); });
    row->addWidget(about);
    row->addWidget(new MemoryReadout);
    graphPager_ = new QWidget;
    auto* pager = new QHBoxLayout(graphPager_);
    pager->setContentsMargins(0, 0, 0, 0);
    pager->addStretch();
    previousGraph_ = new QPushButton(QStringLiteral("Previous graph"));
    graphText_ = new QLabel;
    graphText_->setObjectName(QStringLiteral("graphText"));
    graphText_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    nextGraph_ = new QPushButton(QStringLiteral("Next graph"));
    pager->addWidget(previousGraph_);
    pager->addWidget(graphText_);
    pager->addWidget(nextGraph_);
    row->addWidget(graphPager_, 1);
    row->addStretch(0);
    connect(previousGraph_, &QPushButton::clicked, this, [this] { b_.showGraphPage(b_.graphPage() - 1); });
    connect(nextGraph_, &QPushButton::clicked, this, [this] { b_.showGraphPage(b_.graphPage() + 1); });
    return box;
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
    const bool readOnly = c_.readOnly();
    up_->setEnabled(!atRoot());
    location_->setLocation(atRoot() ? b_.folder().title() : b_.folder().path);
    const QString revealed = b_.selected() ? b_.selected()->path : b_.folder().path;
    reveal_->setToolTip(QStringLiteral("Reveal ") + revealed);
    deleteFolder_->setEnabled(!readOnly && !atRoot() && !b_.moving());
    refresh_->setEnabled(!b_.loading() && !b_.moving());
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
    if (find_->text() != b_.needle())
        find_->setText(b_.needle());
    showHidden_->setChecked(b_.hidden());
    message_->setVisible(!b_.message().isEmpty());
    message_->setText(b_.message());
    renderSelection();

    const qint64 pages = b_.pages();
    pager_->setVisible(!b_.fullView());
    pageText_->setText(QString::number(b_.page() + 1) + QStringLiteral(" / ") + QString::number(pages));
    previousPage_->setEnabled(b_.page() > 0);
    nextPage_->setEnabled(b_.page() + 1 < pages);
    itemCount_->setText(QString::number(b_.filtered().size()) + QStringLiteral(" items"));
    details_->setVisible(b_.selected().has_value());
    if (const auto& selected = b_.selected()) {
        detailPath_->setText(selected->path);
        detailKind_->setText(SidebarModel::detailKind(*selected));
    }
    const qint64 graphPages = b_.graphPages();
    graphPager_->setVisible(b_.visible().size() > Branch::graphLimit);
    graphText_->setText(QStringLiteral("Graph ") + QString::number(b_.graphPage() + 1) + QStringLiteral(" of ")
                        + QString::number(graphPages));
    previousGraph_->setEnabled(b_.graphPage() > 0);
    nextGraph_->setEnabled(b_.graphPage() + 1 < graphPages);
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

// The list's selection follows the branch's: the selected entry's row, or none.
void DiskViewer::renderSelection()
{
    const int row = b_.selected() ? entries_->rowOf(b_.selected()->path) : -1;
    QItemSelectionModel* selection = list_->selectionModel();
    const QModelIndex index = entries_->index(row);
    if (row >= 0 ? selection->isSelected(index) : !selection->hasSelection())
        return;
    followingBranch_ = true;
    if (row < 0) {
        selection->clearSelection();
    } else {
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        list_->scrollTo(index);
    }
    followingBranch_ = false;
}

void DiskViewer::listSelectionChanged()
{
    if (followingBranch_)
        return;
    const QModelIndexList chosen = list_->selectionModel()->selectedIndexes();
    if (!chosen.isEmpty())
        b_.selectListed(entries_->entry(chosen.first().row()));
}

void DiskViewer::showEntryMenu(int row, const QPoint& global)
{
    const VEntry entry = entries_->entry(row);
    QMenu menu;
    auto* openWith = new OpenWithMenu(entry.path, applications_, [this](const QString& text) { b_.setNotice(text); }, &menu);
    openWith->setEnabled(!c_.readOnly());
    menu.addMenu(openWith);
    connect(menu.addAction(QStringLiteral("Show in Finder")), &QAction::triggered, this,
            [this, entry] { workspace_.reveal(entry.path); });
    QAction* remove = menu.addAction(QStringLiteral("Delete…"));
    remove->setEnabled(!c_.readOnly());
    connect(remove, &QAction::triggered, this, [this, entry] { b_.requestTrash(entry); });
    menu.exec(global);
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
    // The selected row stays in view as the list grows or shrinks.
    if (list_->currentIndex().isValid())
        list_->scrollTo(list_->currentIndex());
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
