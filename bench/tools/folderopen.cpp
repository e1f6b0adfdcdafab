// Opens one folder with the viewer model again and again, the way the viewer window does,
// and prints the seconds from the request until its first page and previews are in place.
// Usage: folderopen FOLDER DATA RUNS. The last line printed is the median.

#include "app/session/SessionDisk.h"
#include "app/viewer/model/Branch.h"
#include "shared/DiskScope.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

double mainThreadSeconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

// Seconds from load() until the entries, the first page and its previews have arrived.
// `blocked` keeps the most processor time the main thread spent between two ticks of a 1 ms
// timer: the longest it was ever kept from its events by work of its own (time the system
// gave to other processes does not count).
double openOnce(const QString& folder, double& blocked)
{
    double lastTick = mainThreadSeconds();
    QTimer heartbeat;
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const double now = mainThreadSeconds();
        blocked = std::max(blocked, now - lastTick);
        lastTick = now;
    });
    Branch branch;
    QElapsedTimer timer;
    timer.start();
    heartbeat.start();
    branch.load(VEntry {folder, true, false, 0}, false, false);
    while (branch.loading() || branch.previews().isEmpty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qsizetype shown = branch.visible().size();
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::fprintf(stderr, "%.4f s  (%lld entries, %lld on the first page)\n", seconds,
                 static_cast<long long>(branch.entries().size()), static_cast<long long>(shown));
    return seconds;
}

}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: folderopen FOLDER DATA RUNS\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    SessionDisk::setCurrent(DiskScope(argv[1], false, argv[2], true));
    const int runs = std::max(1, std::atoi(argv[3]));
    std::vector<double> times;
    double blocked = 0;
    for (int run = 0; run < runs; ++run)
        times.push_back(openOnce(folder, blocked));
    std::sort(times.begin(), times.end());
    std::fprintf(stderr, "longest main-thread step: %.4f s\n", blocked);
    std::printf("%.4f\n", times[times.size() / 2]);
    return 0;
}
