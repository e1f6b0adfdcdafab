#include "app/scanner/ScanStatusPanel.h"

#include "app/operations/Controller.h"
#include "app/platform/Workspace.h"
#include "app/scanner/BusyIndicator.h"
#include "app/texts/Fmt.h"

#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

ScanStatusPanel::ScanStatusPanel(Controller& c, Workspace& workspace, QWidget* parent)
    : QWidget(parent), c_(c), workspace_(workspace)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    usage_ = new QLabel;
    usage_->setObjectName(QStringLiteral("usage"));
    layout->addWidget(usage_);
    layout->addLayout(statusRow());
    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);
    layout->addWidget(scanControls());
    layout->addLayout(progressRow());
    // A tick moves the progress alone, not the whole window.
    connect(&c_, &Controller::progressed, this, &ScanStatusPanel::renderProgress);
}

QLayout* ScanStatusPanel::statusRow()
{
    auto* row = new QHBoxLayout;
    busyIndicator_ = new BusyIndicator;
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("status"));
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status_->setWordWrap(true);
    openReport_ = new QPushButton(QStringLiteral("Open report"));
    row->addWidget(busyIndicator_);
    row->addWidget(status_, 1);
    row->addWidget(openReport_);
    connect(openReport_, &QPushButton::clicked, this, &ScanStatusPanel::openReport);
    return row;
}

QWidget* ScanStatusPanel::scanControls()
{
    scanControls_ = new QWidget;
    auto* row = new QHBoxLayout(scanControls_);
    row->setContentsMargins(0, 0, 0, 0);
    pause_ = new QPushButton(QStringLiteral("Pause scan"));
    pause_->setObjectName(QStringLiteral("pauseScan"));
    cancel_ = new QPushButton(QStringLiteral("Cancel scan"));
    cancel_->setObjectName(QStringLiteral("cancelScan"));
    row->addWidget(pause_);
    row->addWidget(cancel_);
    row->addStretch();
    connect(pause_, &QPushButton::clicked, &c_, &Controller::togglePause);
    connect(cancel_, &QPushButton::clicked, &c_, &Controller::cancelScan);
    return scanControls_;
}

QLayout* ScanStatusPanel::progressRow()
{
    auto* row = new QHBoxLayout;
    progress_ = new QProgressBar;
    progress_->setRange(0, 100);
    progress_->setTextVisible(false);
    progress_->setToolTip(QStringLiteral("Estimate based on entries visited compared with filesystem metadata. 100% means the report is ready."));
    progressLabel_ = new QLabel;
    progressLabel_->setObjectName(QStringLiteral("progressLabel"));
    progressLabel_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    row->addWidget(progress_, 1);
    row->addWidget(progressLabel_);
    return row;
}

void ScanStatusPanel::render()
{
    usage_->setVisible(c_.usage().has_value());
    if (const auto& usage = c_.usage())
        usage_->setText(QStringLiteral("Available: <b>%1</b> &nbsp;&nbsp;&nbsp; Used: %2 of %3")
                            .arg(fmt(static_cast<int64_t>(usage->free)), fmt(static_cast<int64_t>(usage->used)),
                                 fmt(static_cast<int64_t>(usage->capacity))));
    busyIndicator_->setVisible(c_.busy());
    status_->setText(c_.status());
    openReport_->setVisible(c_.report().has_value());

    scanControls_->setVisible(c_.scanning());
    pause_->setText(c_.paused() ? QStringLiteral("Resume scan") : QStringLiteral("Pause scan"));
    const bool workerKnown = c_.worker() && !c_.stopping();
    pause_->setEnabled(workerKnown);
    cancel_->setEnabled(workerKnown);
    renderProgress();
}

void ScanStatusPanel::renderProgress()
{
    progress_->setVisible(c_.percent().has_value());
    progressLabel_->setVisible(c_.percent().has_value());
    if (const auto& percent = c_.percent()) {
        progress_->setValue(*percent);
        progressLabel_->setText(*percent == 100 ? QStringLiteral("100% complete")
                                                : QStringLiteral("≈ %1% scanned").arg(*percent));
    }
}

void ScanStatusPanel::openReport()
{
    const QString path = c_.report().value_or(QString());
    if (!workspace_.open(path))
        c_.setFailure(OperationFailure(QStringLiteral("Could not open report"), path));
}
