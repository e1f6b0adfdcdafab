#include "app/scanner/TallyroomView.h"

#include "app/operations/Controller.h"
#include "app/platform/Workspace.h"
#include "app/scanner/BusyIndicator.h"
#include "app/scanner/FileListModel.h"
#include "app/scanner/FileListView.h"
#include "app/scanner/FocusRingStyle.h"
#include "app/scanner/QuitTallyroom.h"
#include "app/scanner/ReviewSheet.h"
#include "app/scanner/ScannerActionStyle.h"
#include "app/session/SessionDisk.h"
#include "app/texts/Fmt.h"
#include "app/trash/FolderAction.h"
#include "app/widgets/CreditFooter.h"
#include "app/widgets/ModeControl.h"
#include "app/widgets/ModeSwitch.h"
#include "app/widgets/ReleaseTitle.h"
#include "app/widgets/ScaledFont.h"
#include "app/widgets/SymbolIcon.h"
#include "shared/RowGroups.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFontDatabase>
#include <QFrame>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QLabel* secondary(const QString& text)
{
    auto* label = new QLabel(text);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

QFont scaled(const QFont& font, double factor, bool bold = false)
{
    QFont result = scaledFont(font, factor);
    result.setBold(bold);
    return result;
}

}

TallyroomView::TallyroomView(Controller& c, Workspace& workspace, ChangeDisk changeDisk, OpenWindow openWindow,
                             QWidget* parent)
    : QWidget(parent), c_(c), workspace_(workspace), changeDisk_(std::move(changeDisk)), openWindow_(std::move(openWindow))
{
    setObjectName(QStringLiteral("scanner"));
    setMinimumSize(640, 420);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(14);
    layout->addWidget(header());
    layout->addWidget(toolbar());

    usage_ = new QLabel;
    usage_->setObjectName(QStringLiteral("usage"));
    layout->addWidget(usage_);

    auto* statusRow = new QHBoxLayout;
    busyIndicator_ = new BusyIndicator;
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("status"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status_->setWordWrap(true);
    openReport_ = new QPushButton(QStringLiteral("Open report"));
    statusRow->addWidget(busyIndicator_);
    statusRow->addWidget(status_, 1);
    statusRow->addWidget(openReport_);
    layout->addLayout(statusRow);

    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);

    scanControls_ = new QWidget;
    auto* scanRow = new QHBoxLayout(scanControls_);
    scanRow->setContentsMargins(0, 0, 0, 0);
    pause_ = new QPushButton(QStringLiteral("Pause scan"));
    pause_->setObjectName(QStringLiteral("pauseScan"));
    cancel_ = new QPushButton(QStringLiteral("Cancel scan"));
    cancel_->setObjectName(QStringLiteral("cancelScan"));
    scanRow->addWidget(pause_);
    scanRow->addWidget(cancel_);
    scanRow->addStretch();
    layout->addWidget(scanControls_);

    auto* progressRow = new QHBoxLayout;
    progress_ = new QProgressBar;
    progress_->setRange(0, 100);
    progress_->setTextVisible(false);
    progress_->setToolTip(QStringLiteral("Estimate based on entries visited compared with filesystem metadata. 100% means the report is ready."));
    progressLabel_ = new QLabel;
    progressLabel_->setObjectName(QStringLiteral("progressLabel"));
    progressLabel_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    progressRow->addWidget(progress_, 1);
    progressRow->addWidget(progressLabel_);
    layout->addLayout(progressRow);

    auto* pickerRow = new QHBoxLayout;
    pickerRow->addWidget(new QLabel(QStringLiteral("Largest files")));
    groups_ = new QButtonGroup(this);
    for (const auto& [title, group] :
         {std::pair {"Top 10 files", RowGroups::allFiles}, std::pair {"Top 10 video && audio", RowGroups::media}}) {
        auto* option = new QPushButton(QString::fromUtf8(title));
        option->setCheckable(true);
        option->setProperty("group", QString::fromUtf8(group));
        groups_->addButton(option);
        pickerRow->addWidget(option);
    }
    pickerRow->addStretch();
    layout->addLayout(pickerRow);

    resultControls_ = new QWidget;
    auto* resultRow = new QHBoxLayout(resultControls_);
    resultRow->setContentsMargins(0, 0, 0, 0);
    onlyPersonal_ = new QCheckBox(QStringLiteral("Selectable only"));
    resultRow->addWidget(onlyPersonal_);
    resultRow->addWidget(secondary(QStringLiteral("Click a file to select it")));
    resultRow->addStretch();
    layout->addWidget(resultControls_);

    emptyNotice_ = secondary(QStringLiteral("No matching files were found."));
    layout->addWidget(emptyNotice_);
    noResult_ = secondary(QStringLiteral("The scan is read-only. You choose what to remove."));
    noResult_->setAlignment(Qt::AlignCenter);
    layout->addWidget(noResult_, 1);

    model_ = new FileListModel(c_, this);
    list_ = new FileListView(*model_);
    layout->addWidget(list_, 1);

    summaryRow_ = new QWidget;
    auto* summaryLayout = new QHBoxLayout(summaryRow_);
    summaryLayout->setContentsMargins(0, 0, 0, 0);
    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("selectionSummary"));
    reviewButton_ = new QPushButton(QStringLiteral("Review deletion…"));
    reviewButton_->setObjectName(QStringLiteral("reviewDeletion"));
    summaryLayout->addWidget(summary_);
    summaryLayout->addStretch();
    summaryLayout->addWidget(reviewButton_);
    layout->addWidget(summaryRow_);
    layout->addWidget(new CreditFooter);

    connect(openReport_, &QPushButton::clicked, this, &TallyroomView::openReport);
    connect(pause_, &QPushButton::clicked, &c_, &Controller::togglePause);
    connect(cancel_, &QPushButton::clicked, &c_, &Controller::cancelScan);
    connect(groups_, &QButtonGroup::buttonClicked, this,
            [this](QAbstractButton* option) { c_.setGroup(option->property("group").toString()); });
    connect(onlyPersonal_, &QCheckBox::toggled, &c_, &Controller::setOnlyPersonal);
    connect(reviewButton_, &QPushButton::clicked, this, [this] { c_.setReview(true); });
    connect(list_, &FileListView::toggleRequested, &c_, &Controller::toggle);
    connect(list_, &FileListView::revealRequested, this, [this](const QString& path) { workspace_.reveal(path); });
    FocusRingStyle::applyTo(this);
    connect(&c_, &Controller::changed, this, &TallyroomView::render);
    render();
}

QWidget* TallyroomView::header()
{
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto* drive = new QLabel;
    drive->setPixmap(QIcon::fromTheme(QStringLiteral("drive-harddisk"), style()->standardIcon(QStyle::SP_DriveHDIcon)).pixmap(40, 40));
    row->addWidget(drive);
    auto* titles = new QVBoxLayout;
    const auto scope = SessionDisk::current();
    auto* name = new QLabel(scope ? QString::fromStdString(scope->name()) : QStringLiteral("Target disk"));
    name->setObjectName(QStringLiteral("diskName"));
    name->setFont(scaled(font(), 1.6, true));
    // A long disk name gives way to the buttons; its whole text stays in the tooltip.
    name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    name->setToolTip(name->text());
    titles->addWidget(name);
    titles->addWidget(secondary(releaseTitle()));
    row->addLayout(titles, 1);
    auto* about = new QPushButton(aboutTitle());
    auto* log = new QPushButton(QStringLiteral("Scan Log"));
    verify_ = new QPushButton(QStringLiteral("Verify disk"));
    verify_->setObjectName(QStringLiteral("verifyDisk"));
    row->addWidget(about);
    row->addWidget(log);
    row->addWidget(verify_);
    // The mode menu and the quit button sit in the top row, leaving the toolbar room to fit a
    // narrow screen.
    row->addWidget(modeSwitch(c_));
    row->addWidget(new QuitTallyroom(c_));
    connect(about, &QPushButton::clicked, this, [this] { openWindow_(QStringLiteral("about")); });
    connect(log, &QPushButton::clicked, this, [this] { openWindow_(QStringLiteral("log")); });
    connect(verify_, &QPushButton::clicked, this, [this] { c_.run(QStringLiteral("verify")); });
    return box;
}

QWidget* TallyroomView::toolbar()
{
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    changeDiskButton_ = new QPushButton(
        QIcon::fromTheme(QStringLiteral("drive-removable-media"), style()->standardIcon(QStyle::SP_DriveCDIcon)),
        QStringLiteral("Change Disk"));
    changeDiskButton_->setObjectName(QStringLiteral("changeDisk"));
    ScannerActionStyle::applyProminent(changeDiskButton_);
    row->addWidget(changeDiskButton_);
    row->addSpacing(12);
    scan_ = new QPushButton(QIcon::fromTheme(QStringLiteral("drive-harddisk"), style()->standardIcon(QStyle::SP_DriveHDIcon)),
                            QStringLiteral("Scan Disk"));
    scan_->setObjectName(QStringLiteral("scanDisk"));
    auto* rescanKey = new QShortcut(QKeySequence(Qt::Key_F5), this);
    rescanKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(rescanKey, &QShortcut::activated, scan_, &QPushButton::click);
    auto* viewer = new QPushButton(SymbolIcon::themed(QStringLiteral("view-3d"), QStringLiteral("viewer")), QStringLiteral("Viewer"));
    viewer->setObjectName(QStringLiteral("openViewer"));
    viewer->setToolTip(QStringLiteral("Open the interactive 3D folder viewer"));
    ScannerActionStyle::apply(scan_);
    ScannerActionStyle::apply(viewer);
    row->addWidget(scan_);
    row->addSpacing(8);
    row->addWidget(viewer);
    folderAction_ = new FolderAction([this](const QString& text) { c_.setStatus(text); }, &c_.authenticator());
    row->addWidget(folderAction_);
    row->addStretch();
    connect(changeDiskButton_, &QPushButton::clicked, this, &TallyroomView::showChangeDisk);
    connect(scan_, &QPushButton::clicked, this, [this] { c_.run(QStringLiteral("scan")); });
    connect(viewer, &QPushButton::clicked, this, [this] { openWindow_(QStringLiteral("viewer")); });
    return box;
}

void TallyroomView::render()
{
    const bool busy = c_.busy();
    const bool hasResult = c_.data().has_value();
    verify_->setEnabled(!busy && !c_.readOnly());
    changeDiskButton_->setEnabled(!busy && !c_.authenticating());
    scan_->setEnabled(!busy && !c_.authenticating());
    folderAction_->setEnabled(!c_.readOnly() && !busy && !c_.authenticating() && !c_.blocked());

    usage_->setVisible(c_.usage().has_value());
    if (const auto& usage = c_.usage())
        usage_->setText(QStringLiteral("Available: <b>%1</b> &nbsp;&nbsp;&nbsp; Used: %2 of %3")
                            .arg(fmt(static_cast<int64_t>(usage->free)), fmt(static_cast<int64_t>(usage->used)),
                                 fmt(static_cast<int64_t>(usage->capacity))));
    busyIndicator_->setVisible(busy);
    status_->setText(c_.status());
    openReport_->setVisible(c_.report().has_value());

    scanControls_->setVisible(c_.scanning());
    pause_->setText(c_.paused() ? QStringLiteral("Resume scan") : QStringLiteral("Pause scan"));
    const bool workerKnown = c_.worker() && !c_.stopping();
    pause_->setEnabled(workerKnown);
    cancel_->setEnabled(workerKnown);

    progress_->setVisible(c_.percent().has_value());
    progressLabel_->setVisible(c_.percent().has_value());
    if (const auto& percent = c_.percent()) {
        progress_->setValue(*percent);
        progressLabel_->setText(*percent == 100 ? QStringLiteral("100% complete")
                                                : QStringLiteral("≈ %1% scanned").arg(*percent));
    }
    for (QAbstractButton* option : groups_->buttons())
        option->setChecked(option->property("group").toString() == c_.group());

    resultControls_->setVisible(hasResult);
    noResult_->setVisible(!hasResult);
    summaryRow_->setVisible(hasResult);
    onlyPersonal_->setChecked(c_.onlyPersonal());
    renderList();

    const std::vector<Row> selected = c_.selected();
    int64_t total = 0;
    for (const Row& row : selected)
        total += row.bytes;
    summary_->setText(QString::number(selected.size()) + QStringLiteral(" selected • ") + fmt(total));
    reviewButton_->setEnabled(!c_.readOnly() && !busy && !c_.selection().empty() && !c_.blocked());
    renderSheets();
}

void TallyroomView::renderList()
{
    const bool empty = model_->rowCount() == 0;
    emptyNotice_->setVisible(c_.data() && empty);
    list_->setVisible(c_.data() && !empty);
}

void TallyroomView::renderSheets()
{
    if (c_.review() && !reviewSheet_) {
        openReviewSheet();
    } else if (!c_.review() && reviewSheet_) {
        reviewSheet_->close();
    }
    failureAlert_.show(this, c_.failure(), [this] { c_.setFailure(std::nullopt); });
}

void TallyroomView::openReviewSheet()
{
    reviewOpener_ = focusWidget();
    reviewSheet_ = new ReviewSheet(c_, this);
    reviewSheet_->setAttribute(Qt::WA_DeleteOnClose);
    connect(reviewSheet_, &QDialog::rejected, this, [this] { c_.setReview(false); });
    connect(reviewSheet_, &QDialog::finished, this, &TallyroomView::focusAfterReview);
    reviewSheet_->open();
}

// Back to the control that opened the sheet, or to the list when a deletion has made that
// control unavailable.
void TallyroomView::focusAfterReview()
{
    for (QWidget* candidate : {reviewOpener_.data(), static_cast<QWidget*>(reviewButton_), static_cast<QWidget*>(list_),
                               static_cast<QWidget*>(scan_)})
        if (candidate && candidate->isVisibleTo(this) && candidate->isEnabled()) {
            candidate->setFocus(Qt::OtherFocusReason);
            // Not every desktop hands activation back to the window when its sheet closes.
            window()->activateWindow();
            return;
        }
}

void TallyroomView::keyPressEvent(QKeyEvent* event)
{
    auto* button = qobject_cast<QAbstractButton*>(focusWidget());
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && button && button->isEnabled() && !(event->modifiers() & ~Qt::KeypadModifier)) {
        button->animateClick();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TallyroomView::openReport()
{
    const QString path = c_.report().value_or(QString());
    if (!workspace_.open(path))
        c_.setFailure(OperationFailure(QStringLiteral("Could not open report"), path));
}

void TallyroomView::showChangeDisk()
{
    auto* sheet = new QDialog(this);
    sheet->setObjectName(QStringLiteral("changeDiskSheet"));
    sheet->setWindowTitle(QStringLiteral("Change Disk"));
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    const QPointer<QDialog> guard(sheet);
    layout->addWidget(changeDisk_([guard] {
        if (guard)
            guard->close();
    }));
    sheet->open();
}
