#pragma once

#include "app/operations/AppTermination.h"

#include <QObject>
#include <QPointer>

class Controller;

// Decides whether the application may quit while an operation runs: idle quits at once, a
// scan is cancelled first, a deletion or verification is never interrupted.
class AppLifecycle : public QObject, public AppTermination {
    Q_OBJECT

public:
    enum class Reply { Now, Cancel, Later };

    void setController(Controller* controller);
    Reply applicationShouldTerminate();
    // A quit request from a window or the system: quits now or as soon as allowed.
    bool requestQuit();

    void replyToApplicationShouldTerminate(bool terminate) override;
    void terminate() override;

private:
    QPointer<Controller> controller_;
};
