#include "app/setup/StartupWindowSize.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

StartupWindowSize::StartupWindowSize(QWidget* window) : QObject(window), window_(window)
{
    window->installEventFilter(this);
}

bool StartupWindowSize::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_ && event->type() == QEvent::Show && !applied_) {
        applied_ = true;
        const QPointer<QWidget> window(window_);
        QTimer::singleShot(100, this, [this, window] {
            if (window)
                apply();
        });
    }
    return false;
}

void StartupWindowSize::apply()
{
    if (window_->isFullScreen())
        return;
    window_->resize(width, height);
    if (const QScreen* screen = window_->screen()) {
        QRect frame = window_->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window_->move(frame.topLeft());
    }
}
