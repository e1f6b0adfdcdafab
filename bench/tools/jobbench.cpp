// Scans a folder through the controller and the job runner, as the scanner window does, and
// reports how the application's own memory moved while it followed the worker and the longest
// time its event loop was kept from a 10 ms timer (what a window would feel as a stall):
// jobbench DELVER ROOT DATA
#include "FakeApplication.h"
#include "FakeAuthenticator.h"
#include "app/operations/Controller.h"
#include "app/session/SessionDisk.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <iostream>

namespace {

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 4) {
        std::cerr << "usage: jobbench DELVER ROOT DATA\n";
        return 2;
    }
    SessionDisk::setCurrent(DiskScope(argv[2], false, argv[3], true));
    FakeAuthenticator authentication;
    FakeApplication termination;
    Controller controller(QString::fromLocal8Bit(argv[1]), authentication, termination);
    long first = 0;
    long peak = 0;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const long now = residentKilobytes();
        first = first ? first : now;
        peak = std::max(peak, now);
    });
    sampler.start(50);
    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (sinceTick.isValid())
            longestStall = std::max(longestStall, sinceTick.elapsed() - 10);
        sinceTick.start();
    });
    ticker.start(10);
    QObject::connect(&controller, &Controller::changed, [&] {
        if (!controller.busy())
            QCoreApplication::quit();
    });
    controller.run(QStringLiteral("scan"));
    QCoreApplication::exec();
    if (!controller.data()) {
        std::cerr << controller.status().toStdString() << '\n';
        return 1;
    }
    std::cout << "count " << controller.data()->count << "\nrss-growth-kb " << (peak - first) << "\nlog-lines "
              << controller.lines().size() << "\nlongest-stall-ms " << longestStall << '\n';
    return 0;
}
