#include "app/shell/AppLifecycle.h"

#include "app/operations/Controller.h"

#include <QApplication>

void AppLifecycle::setController(Controller* controller)
{
    controller_ = controller;
}

AppLifecycle::Reply AppLifecycle::applicationShouldTerminate()
{
    if (!controller_ || !controller_->busy())
        return Reply::Now;
    if (!controller_->scanning())
        return Reply::Cancel;
    controller_->setQuitAfterScan(true);
    controller_->setTerminateReplyPending(true);
    controller_->cancelScan();
    return Reply::Later;
}

bool AppLifecycle::requestQuit()
{
    if (applicationShouldTerminate() != Reply::Now)
        return false;
    QApplication::quit();
    return true;
}

void AppLifecycle::replyToApplicationShouldTerminate(bool terminate)
{
    if (terminate)
        QApplication::quit();
}

void AppLifecycle::terminate()
{
    requestQuit();
}
