#include "app/scanner/TallyroomView.h"

#include "app/operations/Controller.h"
#include "app/scanner/FileListView.h"
#include "app/scanner/FocusRingStyle.h"
#include "app/scanner/QuitTallyroom.h"
#include "app/scanner/ResultPanel.h"
#include "app/scanner/ReviewSheet.h"
#include "app/scanner/ScanStatusPanel.h"
#include "app/scanner/ScannerActionStyle.h"
#include "app/session/SessionDisk.h"
#include "app/trash/FolderAction.h"
#include "app/widgets/CreditFooter.h"
#include "app/widgets/ModeControl.h"
#include "app/widgets/ModeSwitch.h"
#include "app/widgets/ReleaseTitle.h"
#include "app/widgets/ScaledFont.h"
#include "app/widgets/SymbolIcon.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
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
    : QWidget(parent), c_(c), changeDisk_(std::move(changeDisk)), openWindow_(std::move(openWindow))
{
    setObjectName(QStringLiteral("scanner"));
    setMinimumSize(640, 420);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    layout->setSpacing(14);
    layout->addWidget(header());
    layout->addWidget(toolbar());
    status_ = new ScanStatusPanel(c_, workspace);
    layout->addWidget(status_);
    result_ = new ResultPanel(c_, workspace);
    layout->addWidget(result_, 1);
    layout->addWidget(new CreditFooter);
    FocusRingStyle::applyTo(this);
    connect(&c_, &Controller::changed, this, &TallyroomView::render);
    render();
}

FileListView* TallyroomView::fileList() const
{
    return result_->fileList();
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
    verify_->setEnabled(!busy && !c_.readOnly());
    changeDiskButton_->setEnabled(!busy && !c_.authenticating());
    scan_->setEnabled(!busy && !c_.authenticating());
    folderAction_->setEnabled(!c_.readOnly() && !busy && !c_.authenticating() && !c_.blocked());
    status_->render();
    result_->render();
    renderSheets();
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
    for (QWidget* candidate : {reviewOpener_.data(), static_cast<QWidget*>(result_->reviewButton()),
                               static_cast<QWidget*>(result_->fileList()), static_cast<QWidget*>(scan_)})
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
