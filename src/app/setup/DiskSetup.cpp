#include "app/platform/Background.h"
#include "app/platform/Bundle.h"
#include "app/platform/FreedesktopIntegration.h"
#include "app/platform/VolumeNames.h"
#include "app/session/Preferences.h"
#include "app/session/SessionDisk.h"
#include "app/setup/AppInstaller.h"
#include "app/setup/DiskSetup.h"
#include "app/setup/SetupConfirmButtonStyle.h"
#include "app/setup/VolumeRules.h"
#include "app/widgets/ModeLabel.h"
#include "app/widgets/SecondaryText.h"
#include "app/widgets/SymbolIcon.h"
#include "shared/InstallSafety.h"
#include "shared/Problem.h"
#include "shared/platform/Volumes.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* heading(const QString& text)
{
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.15);
    label->setFont(font);
    return label;
}

QString chooseFolderIn(QWidget* parent, const QString& title, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, title, start, QFileDialog::ShowDirsOnly);
}

}

std::vector<VolumeEntry> DiskSetup::disks(bool includeCloud)
{
    try {
        return VolumeRules::offered(Volumes::all(), includeCloud, VolumeNames());
    } catch (const Problem&) {
        return VolumeRules::offered({}, includeCloud, VolumeNames());
    }
}

DiskSetup::DiskSetup(Cancel cancel, Start start, QWidget* parent, std::shared_ptr<DesktopIntegration> desktop)
    : QWidget(parent),
      cancel_(std::move(cancel)),
      start_(std::move(start)),
      cloud_(Preferences::includeCloud()),
      data_(Preferences::storagePath()),
      destination_(Preferences::installFolder()),
      error_(Preferences::takeNotice().value_or(QString())),
      source_(Bundle::location()),
      desktop_(desktop ? std::move(desktop) : std::make_shared<FreedesktopIntegration>())
{
    setObjectName(QStringLiteral("diskSetup"));
    setMinimumSize(600, 340);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    content_ = new QWidget;
    outer->addWidget(content_);
    auto* layout = new QVBoxLayout(content_);
    layout->setContentsMargins(22, 22, 22, 22);
    layout->setSpacing(14);
    layout->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    auto* note = new QLabel(QStringLiteral("No internet connection is required for setup or local scanning. Cloud providers may need a connection."));
    note->setWordWrap(true);
    layout->addWidget(note);
    layout->addWidget(heading(QStringLiteral("Choose a mode...")));
    layout->addWidget(modeRow());
    layout->addWidget(heading(QStringLiteral("Choose a disk...")));
    layout->addWidget(diskRow());
    layout->addWidget(selectionRows());
    if (!cancel_) {
        layout->addWidget(locationRow(QStringLiteral("Install app in"), destination_, keptApp_, QStringLiteral("App installation folder")));
        layout->addWidget(locationRow(QStringLiteral("Save data in"), data_, keptData_, QStringLiteral("Reports and saved views folder")));
    }
    layout->addLayout(buttonRow());
    layout->addWidget(preparingRow());
    errorLabel_ = new QLabel;
    errorLabel_->setObjectName(QStringLiteral("setupError"));
    errorLabel_->setWordWrap(true);
    errorLabel_->setStyleSheet(QStringLiteral("color: #d0302b;"));
    layout->addWidget(errorLabel_);

    refreshVolumes();
    render();
}

QWidget* DiskSetup::selectionRows()
{
    selectionRows_ = new QWidget;
    auto* selection = new QGridLayout(selectionRows_);
    selection->setContentsMargins(0, 0, 0, 0);
    diskName_ = new QLabel;
    diskName_->setObjectName(QStringLiteral("selectedDisk"));
    location_ = new QLabel;
    location_->setObjectName(QStringLiteral("location"));
    location_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    diskPoint_ = new QLabel;
    SecondaryText::apply(diskPoint_);
    diskPoint_->setObjectName(QStringLiteral("selectedDiskMount"));
    auto* diskNameRow = new QHBoxLayout;
    diskNameRow->addWidget(diskName_);
    diskNameRow->addWidget(diskPoint_);
    diskNameRow->addStretch();
    selection->addWidget(new QLabel(QStringLiteral("Selected disk")), 0, 0);
    selection->addLayout(diskNameRow, 0, 1);
    selection->addWidget(new QLabel(QStringLiteral("Location")), 1, 0);
    selection->addWidget(location_, 1, 1);
    selection->setColumnStretch(1, 1);
    return selectionRows_;
}

// Cancel or quit on the left, the confirming button on the right.
QLayout* DiskSetup::buttonRow()
{
    auto* buttons = new QHBoxLayout;
    if (cancel_) {
        auto* cancelButton = new QPushButton(QStringLiteral("Cancel"));
        cancelButton->setShortcut(Qt::Key_Escape);
        connect(cancelButton, &QPushButton::clicked, this, [this] { cancel_(); });
        confirm_ = new QPushButton(QStringLiteral("Use this disk"));
        buttons->addWidget(cancelButton);
    } else {
        auto* quit = new QPushButton(QStringLiteral("Stop setup and quit"));
        quit->setToolTip(QStringLiteral("Exit setup without installing a copy or starting a scan"));
        connect(quit, &QPushButton::clicked, qApp, &QApplication::quit);
        confirm_ = new QPushButton(QStringLiteral("Start App"));
        buttons->addWidget(quit);
    }
    confirm_->setObjectName(QStringLiteral("confirmSetup"));
    SetupConfirmButtonStyle::apply(confirm_);
    connect(confirm_, &QPushButton::clicked, this, &DiskSetup::begin);
    buttons->addStretch();
    buttons->addWidget(confirm_);
    return buttons;
}

QWidget* DiskSetup::preparingRow()
{
    preparingRow_ = new QWidget;
    auto* preparing = new QHBoxLayout(preparingRow_);
    preparing->setContentsMargins(0, 0, 0, 0);
    auto* spinner = new QProgressBar;
    spinner->setRange(0, 0);
    spinner->setMaximumWidth(80);
    preparing->addWidget(spinner);
    preparing->addWidget(new QLabel(QStringLiteral("Opening selected location…")));
    preparing->addStretch();
    return preparingRow_;
}

QWidget* DiskSetup::modeRow()
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Operating mode")));
    readOnlyButton_ = new ModeLabel(true, readOnly_, false);
    activeButton_ = new ModeLabel(false, !readOnly_, false);
    // One mode is always chosen: pressing the chosen one again leaves it on.
    auto* modes = new QButtonGroup(row);
    for (ModeLabel* button : {readOnlyButton_, activeButton_}) {
        modes->addButton(button);
        layout->addWidget(button);
        connect(button, &QPushButton::toggled, this, [this, button](bool on) {
            if (!on || button->readOnly() == readOnly_)
                return;
            readOnly_ = button->readOnly();
            render();
        });
    }
    layout->addStretch();
    return row;
}

QWidget* DiskSetup::diskRow()
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* accessRow = new QHBoxLayout;
    accessRow->addWidget(new QLabel(QStringLiteral("Disk access")));
    access_ = new QComboBox;
    access_->setObjectName(QStringLiteral("diskAccess"));
    access_->addItem(QStringLiteral("Local disks only"), false);
    access_->addItem(QStringLiteral("Include cloud locations"), true);
    access_->setCurrentIndex(cloud_ ? 1 : 0);
    connect(access_, &QComboBox::currentIndexChanged, this, [this](int index) {
        cloud_ = access_->itemData(index).toBool();
        refreshVolumes();
    });
    accessRow->addWidget(access_);
    accessRow->addStretch();
    layout->addLayout(accessRow);

    // The menu pops up without a nested event loop when the button is pressed, so keyboard,
    // mouse and assistive technologies all open it the same way.
    diskMenu_ = new QPushButton;
    diskMenu_->setObjectName(QStringLiteral("diskMenu"));
    diskChoices_ = new QMenu(diskMenu_);
    diskChoices_->setObjectName(QStringLiteral("diskChoices"));
    connect(diskMenu_, &QPushButton::clicked, this, [this] {
        diskMenu_->setDown(true);
        diskChoices_->popup(diskMenu_->mapToGlobal(QPoint(0, diskMenu_->height())));
    });
    connect(diskChoices_, &QMenu::aboutToHide, diskMenu_, [this] { diskMenu_->setDown(false); });
    SetupConfirmButtonStyle::apply(diskMenu_);
    layout->addWidget(diskMenu_, 0, Qt::AlignLeft);
    return box;
}

QWidget* DiskSetup::locationRow(const QString& title, QString& folder, bool& kept, const QString& pickerTitle)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(title));
    auto* path = new QLabel;
    path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(path, 1);
    auto* keep = new QPushButton(QStringLiteral("Keep"));
    keep->setToolTip(QStringLiteral("Keep the displayed folder"));
    SetupConfirmButtonStyle::apply(keep);
    auto* change = new QPushButton(QStringLiteral("Change…"));
    layout->addWidget(keep);
    layout->addWidget(change);
    connect(keep, &QPushButton::clicked, this, [this, &kept] {
        kept = true;
        render();
    });
    connect(change, &QPushButton::clicked, this, [this, &folder, &kept, pickerTitle] {
        const QString picked = chooseFolderIn(this, pickerTitle, folder);
        if (picked.isEmpty())
            return;
        folder = picked;
        kept = true;
        error_.clear();
        render();
    });
    rowRenderers_.push_back([path, keep, &folder, &kept] {
        path->setText(path->fontMetrics().elidedText(folder, Qt::ElideMiddle, 360));
        path->setToolTip(folder);
        keep->setIcon(kept ? SymbolIcon::named(QStringLiteral("object-select-symbolic"), QStringLiteral("checkmark"),
                                               keep->palette().color(QPalette::Text))
                           : QIcon());
        keep->setAccessibleDescription(kept ? QStringLiteral("Confirmed") : QString());
    });
    return row;
}

void DiskSetup::chooseVolume(const VolumeEntry& volume)
{
    selectedDiskName_ = volume.name;
    selectedDiskPoint_ = volume.url;
    target_ = volume.url;
    error_.clear();
    render();
}

void DiskSetup::chooseFolder(const QString& folder)
{
    if (folder != target_) {
        selectedDiskName_.reset();
        selectedDiskPoint_.reset();
        target_ = folder;
        lookUpDiskName();
    }
    error_.clear();
    render();
}

void DiskSetup::setDataFolder(const QString& folder)
{
    data_ = folder;
    keptData_ = true;
    error_.clear();
    render();
}

void DiskSetup::refreshVolumes()
{
    const int generation = ++volumeGeneration_;
    const bool cloud = cloud_;
    const QPointer<DiskSetup> self(this);
    inBackground([self, generation, cloud] {
        auto volumes = disks(cloud);
        QMetaObject::invokeMethod(qApp, [self, generation, volumes = std::move(volumes)] {
            if (!self || generation != self->volumeGeneration_)
                return;
            self->volumes_ = volumes;
            self->render();
            emit self->volumesChanged();
        });
    });
}

void DiskSetup::lookUpDiskName()
{
    if (selectedDiskName_ || !target_)
        return;
    const QString target = *target_;
    const QPointer<DiskSetup> self(this);
    inBackground([self, target] {
        const std::optional<VolumeEntry> volume = VolumeRules::holding(target);
        QMetaObject::invokeMethod(qApp, [self, target, volume] {
            if (!self || self->target_ != target)
                return;
            self->selectedDiskName_ = volume ? volume->name : QStringLiteral("Name unavailable");
            self->selectedDiskPoint_ = volume ? std::optional(volume->url) : std::nullopt;
            self->render();
        });
    });
}

void DiskSetup::begin()
{
    if (!target_ || preparing_)
        return;
    const QString target = *target_;
    const bool cloud = cloud_;
    const QString data = data_;
    const QString destination = destination_;
    const bool readOnly = readOnly_;
    const QString source = source_;
    const bool changingDisk = static_cast<bool>(cancel_);
    const std::shared_ptr<DesktopIntegration> desktop = desktop_;
    preparing_ = true;
    error_.clear();
    render();
    const QPointer<DiskSetup> self(this);
    inBackground([=] {
        Outcome outcome;
        try {
            const DiskScope scope(target.toStdString(), cloud, data.toStdString(), readOnly);
            InstallSafety::validate(data.toStdString(), true);
            outcome.scope = scope;
            if (!changingDisk) {
                const QString installed = AppInstaller::install(source, destination, *desktop);
                if (QDir::cleanPath(installed) != QDir::cleanPath(source))
                    outcome.installed = installed;
            }
        } catch (const Problem& problem) {
            outcome.error = QString::fromStdString(problem.description());
        }
        QMetaObject::invokeMethod(qApp, [self, outcome] {
            if (self)
                self->finishBegin(outcome);
        });
    });
}

void DiskSetup::finishBegin(const Outcome& outcome)
{
    if (!outcome.error.isEmpty()) {
        stop(outcome.error);
        return;
    }
    if (!outcome.installed) {
        preparing_ = false;
        render();
        start_(*outcome.scope);
        return;
    }
    const QString program = *outcome.installed + QStringLiteral("/Contents/MacOS/tallyroom");
    const QStringList arguments {QStringLiteral("--selected-disk"), QString::fromStdString(outcome.scope->toBase64())};
    if (!QProcess::startDetached(program, arguments)) {
        stop(QStringLiteral("The installed copy could not be opened: ") + program);
        return;
    }
    QApplication::quit();
}

void DiskSetup::stop(const QString& error)
{
    error_ = error;
    preparing_ = false;
    render();
    stoppedAlert_ = new QMessageBox(QMessageBox::Warning, QStringLiteral("Setup stopped"), QStringLiteral("Setup stopped"),
                                    QMessageBox::NoButton, this);
    stoppedAlert_->setInformativeText(error_);
    stoppedAlert_->setObjectName(QStringLiteral("setupStopped"));
    stoppedAlert_->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* quit = stoppedAlert_->addButton(QStringLiteral("Stop and quit"), QMessageBox::RejectRole);
    stoppedAlert_->addButton(QStringLiteral("Review folders"), QMessageBox::AcceptRole);
    connect(quit, &QPushButton::clicked, qApp, &QApplication::quit);
    connect(stoppedAlert_, &QObject::destroyed, this, [this] { stoppedAlert_ = nullptr; });
    stoppedAlert_->open();
}

void DiskSetup::render()
{
    // The chosen mode first: the other one can only go off once it is.
    ModeLabel* chosen = readOnly_ ? readOnlyButton_ : activeButton_;
    ModeLabel* other = readOnly_ ? activeButton_ : readOnlyButton_;
    chosen->setMode(chosen->readOnly(), true);
    other->setMode(other->readOnly(), false);
    diskMenu_->setText(target_ ? QStringLiteral("Change selection…") : QStringLiteral("Select a disk…"));
    QMenu* menu = diskChoices_;
    menu->clear();
    // The mount point is the item's secondary text, in the column menus keep for it.
    for (const VolumeEntry& volume : volumes_)
        connect(menu->addAction(volume.name + QLatin1Char('\t') + volume.url), &QAction::triggered, this,
                [this, volume] { chooseVolume(volume); });
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("Choose a folder…")), &QAction::triggered, this, [this] {
        const QString picked = chooseFolderIn(this, QStringLiteral("Choose target disk or folder"), target_.value_or(QDir::homePath()));
        if (!picked.isEmpty())
            chooseFolder(picked);
    });
    selectionRows_->setVisible(target_.has_value());
    diskName_->setText(selectedDiskName_.value_or(QStringLiteral("Looking up disk…")));
    diskPoint_->setText(selectedDiskPoint_.value_or(QString()));
    location_->setText(target_.value_or(QString()));
    for (const auto& renderRow : rowRenderers_)
        renderRow();
    confirm_->setEnabled(target_.has_value());
    preparingRow_->setVisible(preparing_);
    errorLabel_->setVisible(!error_.isEmpty());
    errorLabel_->setText(error_);
    content_->setEnabled(!preparing_);
}
