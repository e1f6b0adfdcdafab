// Measures what one progress tick of a scan costs the main thread, with the scanner window and
// the scan log open, a previous scan's rows listed and the log full. Every event the main
// thread handles while the scan runs comes from its ticks, so the time spent in them, divided
// by the ticks, is the cost of one tick. scanticks DELVER ROOT DATA
#include "FakeApplication.h"
#include "FakeAuthenticator.h"
#include "QuietWorkspace.h"
#include "app/operations/Controller.h"
#include "app/scanner/LogView.h"
#include "app/scanner/TallyroomView.h"
#include "app/session/SessionDisk.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <iostream>

namespace {

// Times every event the main thread handles at the top of its loop.
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override
    {
        if (depth_++ > 0 || !timing_) {
            const bool handled = QApplication::notify(receiver, event);
            --depth_;
            return handled;
        }
        QElapsedTimer timer;
        timer.start();
        const bool handled = QApplication::notify(receiver, event);
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
        total_ += ms;
        longest_ = std::max(longest_, ms);
        --depth_;
        return handled;
    }

    void setTiming(bool timing) { timing_ = timing; }
    double total() const { return total_; }
    double longest() const { return longest_; }

private:
    int depth_ = 0;
    bool timing_ = false;
    double total_ = 0;
    double longest_ = 0;
};

void scanToEnd(Controller& controller)
{
    const auto connection = QObject::connect(&controller, &Controller::changed, [&] {
        if (!controller.busy())
            QApplication::quit();
    });
    controller.run(QStringLiteral("scan"));
    QApplication::exec();
    QObject::disconnect(connection);
}

qsizetype tickLines(const Controller& controller)
{
    return std::count_if(controller.lines().begin(), controller.lines().end(),
                         [](const QString& line) { return line.contains(QStringLiteral("  Scanning ")); });
}

}

int main(int argc, char** argv)
{
    TimedApplication application(argc, argv);
    if (argc != 4) {
        std::cerr << "usage: scanticks DELVER ROOT DATA\n";
        return 2;
    }
    SessionDisk::setCurrent(DiskScope(argv[2], false, argv[3], false));
    FakeAuthenticator authentication;
    FakeApplication termination;
    QuietWorkspace workspace;
    Controller controller(QString::fromLocal8Bit(argv[1]), authentication, termination);
    TallyroomView view(controller, workspace, [](const std::function<void()>&) { return new QWidget; },
                       [](const QString&) {});
    view.resize(760, 680);
    view.show();
    LogView log(controller);
    log.resize(640, 480);
    log.show();
    scanToEnd(controller);
    if (!controller.data()) {
        std::cerr << controller.status().toStdString() << '\n';
        return 1;
    }
    for (int i = 0; i < Controller::logLimit; ++i)
        controller.log(QStringLiteral("Earlier line ") + QString::number(i));
    QApplication::processEvents();
    application.setTiming(true);
    scanToEnd(controller);
    application.setTiming(false);
    const qsizetype ticks = tickLines(controller);
    if (ticks == 0) {
        std::cerr << "the scan ended before its first tick\n";
        return 1;
    }
    std::cout << "ticks " << ticks << "\nlongest-event-ms " << application.longest() << "\nmain-thread-ms "
              << application.total() << "\nper-tick-ms " << application.total() / static_cast<double>(ticks) << '\n';
    return 0;
}
