// Times how long the scanner window takes to bring its ranked list up to date after a scan:
// a refresh with the same rows (a selection or status change) and a regroup that changes
// which rows are listed. scannerlist DELVER ROOT DATA
#include "FakeApplication.h"
#include "FakeAuthenticator.h"
#include "QuietWorkspace.h"
#include "app/operations/Controller.h"
#include "app/scanner/TallyroomView.h"
#include "app/session/SessionDisk.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <iostream>
#include <vector>

namespace {

// Brings every pending paint and deletion through, as the event loop would.
void settle(QWidget& window)
{
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window.repaint();
    QApplication::processEvents();
}

template <typename Step>
double medianMicroseconds(QWidget& window, int runs, Step step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        step(i);
        settle(window);
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 4) {
        std::cerr << "usage: scannerlist DELVER ROOT DATA\n";
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
    QObject::connect(&controller, &Controller::changed, [&] {
        if (!controller.busy())
            QApplication::quit();
    });
    controller.run(QStringLiteral("scan"));
    QApplication::exec();
    if (!controller.data()) {
        std::cerr << controller.status().toStdString() << '\n';
        return 1;
    }
    settle(view);
    const int runs = 200;
    const double regroup = medianMicroseconds(view, runs, [&](int i) {
        controller.setGroup(i % 2 ? QStringLiteral("All files") : QStringLiteral("Video & audio"));
    });
    controller.setGroup(QStringLiteral("All files"));
    const double refresh = medianMicroseconds(view, runs, [&](int) { emit controller.changed(); });
    const Row first = controller.data()->rows.front();
    const double toggle = medianMicroseconds(view, runs, [&](int) { controller.toggle(first); });
    std::cout << "rows " << controller.data()->rows.size() << "\nregroup-us " << regroup << "\ntoggle-us " << toggle
              << "\nrefresh-us " << refresh << '\n';
    return 0;
}
