#pragma once

#include "app/platform/DesktopWorkspace.h"
#include "app/platform/GioApplications.h"
#include "app/shell/AppLifecycle.h"
#include "app/shell/CommandLine.h"
#include "shared/DiskScope.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUuid>
#include <QWidget>

#include <memory>

class Authenticator;
class Controller;
class QStackedLayout;

// The application: its windows by identifier, the current controller, and the start of a
// disk session from setup, Change Disk or the command line.
class TallyroomApp : public QObject {
    Q_OBJECT

public:
    TallyroomApp(Authenticator& authenticator, QString worker, QObject* parent = nullptr);
    ~TallyroomApp() override;

    // Shows the main window with the command line's folder chosen in setup; a valid
    // --selected-disk scope starts its session at once.
    void launchWith(const CommandLine& command);
    void launch(const QStringList& arguments);
    void start(const DiskScope& scope);
    void openWindow(const QString& identifier);

    Controller& controller() const { return *controller_; }
    AppLifecycle& lifecycle() { return lifecycle_; }
    bool ready() const { return ready_; }
    const QUuid& sessionID() const { return sessionID_; }
    QWidget* window(const QString& identifier) const { return windows_.value(identifier); }

    // The scope handed over on the command line, when it is there and still valid.
    static std::optional<DiskScope> selectedDisk(const QStringList& arguments);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* createWindow(const QString& identifier);
    QWidget* contentFor(const QString& identifier);
    void showScanner();
    void refreshSessionWindows();

    Authenticator& authenticator_;
    const QString worker_;
    AppLifecycle lifecycle_;
    DesktopWorkspace workspace_;
    GioApplications applications_;
    std::unique_ptr<Controller> controller_;
    QUuid sessionID_ = QUuid::createUuid();
    bool ready_ = false;
    QHash<QString, QPointer<QWidget>> windows_;
    QStackedLayout* mainStack_ = nullptr;
};
