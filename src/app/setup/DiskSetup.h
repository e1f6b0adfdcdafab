#pragma once

#include "app/setup/VolumeEntry.h"
#include "shared/DiskScope.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QComboBox;
class QMenu;
class QMessageBox;
class QPushButton;
class ModeLabel;
class DesktopIntegration;

// Setup: the mode, cloud access, the disk or folder and, at first launch, where the app is
// installed and where its data goes. Turns the choices into a scope and hands it on.
class DiskSetup : public QWidget {
    Q_OBJECT

public:
    using Cancel = std::function<void()>;
    using Start = std::function<void(const DiskScope&)>;

    // With a cancel action this is the Change Disk sheet: nothing is installed. At first launch
    // the installed copy is registered with the desktop (the freedesktop one unless given).
    DiskSetup(Cancel cancel, Start start, QWidget* parent = nullptr, std::shared_ptr<DesktopIntegration> desktop = nullptr);

    // The volumes setup offers among those mounted now.
    static std::vector<VolumeEntry> disks(bool includeCloud);

    void chooseVolume(const VolumeEntry& volume);
    void chooseFolder(const QString& folder);
    void setDataFolder(const QString& folder);
    void begin();

    bool readOnly() const { return readOnly_; }
    const std::optional<QString>& target() const { return target_; }
    const std::optional<QString>& selectedDiskName() const { return selectedDiskName_; }
    const QString& error() const { return error_; }
    bool preparing() const { return preparing_; }
    const std::vector<VolumeEntry>& volumes() const { return volumes_; }
    QMessageBox* stoppedAlert() const { return stoppedAlert_; }

signals:
    void volumesChanged();

private:
    struct Outcome {
        std::optional<DiskScope> scope;
        std::optional<QString> installed;
        QString error;
    };

    QWidget* modeRow();
    QWidget* diskRow();
    QWidget* selectionRows();
    QWidget* locationRow(const QString& title, QString& folder, bool& kept, const QString& pickerTitle);
    QLayout* buttonRow();
    QWidget* preparingRow();
    void refreshVolumes();
    void lookUpDiskName();
    void finishBegin(const Outcome& outcome);
    void stop(const QString& error);
    void render();

    Cancel cancel_;
    Start start_;
    bool readOnly_ = true;
    std::optional<QString> target_;
    std::optional<QString> selectedDiskName_;
    std::optional<QString> selectedDiskPoint_;
    bool cloud_;
    QString data_;
    QString destination_;
    bool keptApp_ = false;
    bool keptData_ = false;
    QString error_;
    bool preparing_ = false;
    std::vector<VolumeEntry> volumes_;
    QString source_;
    std::shared_ptr<DesktopIntegration> desktop_;
    int volumeGeneration_ = 0;

    ModeLabel* readOnlyButton_ = nullptr;
    ModeLabel* activeButton_ = nullptr;
    QComboBox* access_ = nullptr;
    QPushButton* diskMenu_ = nullptr;
    QMenu* diskChoices_ = nullptr;
    QWidget* selectionRows_ = nullptr;
    QLabel* diskName_ = nullptr;
    QLabel* diskPoint_ = nullptr;
    QLabel* location_ = nullptr;
    QPushButton* confirm_ = nullptr;
    QWidget* preparingRow_ = nullptr;
    QLabel* errorLabel_ = nullptr;
    QWidget* content_ = nullptr;
    QMessageBox* stoppedAlert_ = nullptr;
    std::vector<std::function<void()>> rowRenderers_;
};
