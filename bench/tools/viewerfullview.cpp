// Drives the real viewer window on one big folder the way a person does: open the folder,
// switch to Full-View, select a row in the sidebar, scroll the sidebar from top to bottom a
// page at a time, type one character into the find field (five times; the median counts).
// Prints each step's longest main-thread stretch in milliseconds (and the opening's wall
// time) and, as the last line, the slowest step after the opening.
// Usage: viewerfullview FOLDER DATA

#include "FakeApplication.h"
#include "FakeAuthenticator.h"
#include "NoApplications.h"
#include "QuietWorkspace.h"
#include "app/operations/Controller.h"
#include "app/session/SessionDisk.h"
#include "app/viewer/DiskViewer.h"
#include "shared/DiskScope.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

double threadSeconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

// Runs the step, then the event loop until `done` holds and a further quiet half second has
// passed (layout and painting included). Returns the most processor time the main thread
// spent between two ticks of a 1 ms timer: the longest it kept a person waiting.
double longestStretch(const std::function<void()>& step, const std::function<bool()>& done)
{
    double longest = 0;
    double last = threadSeconds();
    QTimer heartbeat;
    heartbeat.setInterval(1);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const double now = threadSeconds();
        longest = std::max(longest, now - last);
        last = now;
    });
    heartbeat.start();
    last = threadSeconds();
    step();
    QElapsedTimer quiet;
    quiet.start();
    while (!done() || quiet.elapsed() < 500) {
        if (!done())
            quiet.restart();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    const double now = threadSeconds();
    return std::max(longest, now - last) * 1000;
}

// The sidebar row of an entry, pressed with the mouse: the list view's row, or the row's
// button where rows are widgets of their own.
void clickRow(DiskViewer& viewer, const VEntry& entry)
{
    if (auto* row = viewer.findChild<QWidget*>(entry.path)) {
        QTest::mouseClick(row->findChild<QPushButton*>(), Qt::LeftButton);
        return;
    }
    auto* list = viewer.findChild<QAbstractItemView*>(QStringLiteral("entries"));
    const QModelIndex index = list->model()->index(int(viewer.branch().visible().indexOf(entry)), 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

// The sidebar's scrolling area: the list view, or the scroll area around rows of widgets.
QAbstractScrollArea* sidebar(DiskViewer& viewer)
{
    if (auto* list = viewer.findChild<QAbstractItemView*>(QStringLiteral("entries")))
        return list;
    return viewer.findChild<QScrollArea*>();
}

// Pages the sidebar down once per event-loop turn, the way a held Page Down key does.
// True once it is at the bottom.
class PageDown {
public:
    explicit PageDown(QAbstractScrollArea* area) : bar_(area->verticalScrollBar())
    {
        bar_->setValue(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { bar_->setValue(bar_->value() + bar_->pageStep()); });
    }
    void start() { timer_.start(0); }
    bool atBottom() const { return bar_->value() >= bar_->maximum(); }
    int pages() const { return bar_->maximum() / std::max(1, bar_->pageStep()); }

private:
    QScrollBar* bar_;
    QTimer timer_;
};

}

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("tallyroom-bench"));
    if (argc != 3) {
        std::fprintf(stderr, "usage: viewerfullview FOLDER DATA\n");
        return 2;
    }
    SessionDisk::setCurrent(DiskScope(argv[1], false, argv[2], false));
    FakeAuthenticator authenticator;
    FakeApplication termination;
    Controller c(QStringLiteral("/nonexistent/delver"), authenticator, termination);
    QuietWorkspace workspace;
    NoApplications applications;
    DiskViewer viewer(c, workspace, applications, [](const QString&) {});
    Branch& b = viewer.branch();
    b.setFull(false);
    viewer.resize(1050, 680);

    const auto loaded = [&] { return !b.loading() && !b.entries().isEmpty(); };
    QElapsedTimer opening;
    double openWall = 0;
    const double open = longestStretch([&] { opening.start(); viewer.show(); }, [&] {
        if (!openWall && loaded())
            openWall = opening.nsecsElapsed() / 1e6;
        return loaded();
    });
    std::fprintf(stderr, "open folder (%lld entries): %.1f ms, %.0f ms until shown\n",
                 static_cast<long long>(b.entries().size()), open, openWall);
    const double full = longestStretch([&] { b.setFull(true); }, [] { return true; });
    std::fprintf(stderr, "switch to Full-View: %.1f ms\n", full);
    const VEntry target = b.visible().at(b.visible().size() * 3 / 4);
    const double select = longestStretch([&] { clickRow(viewer, target); }, [&] { return b.selected() == target; });
    std::fprintf(stderr, "select a row: %.1f ms\n", select);
    PageDown pageDown(sidebar(viewer));
    const double scroll = longestStretch([&] { pageDown.start(); }, [&] { return pageDown.atBottom(); });
    std::fprintf(stderr, "page down to the bottom (%d pages): %.1f ms\n", pageDown.pages(), scroll);
    auto* find = viewer.findChild<QLineEdit*>(QStringLiteral("find"));
    // Five keystrokes, each taken back again, for a median that one stall cannot move.
    std::vector<double> keystrokes;
    qsizetype matches = 0;
    for (int round = 0; round < 5; ++round) {
        keystrokes.push_back(longestStretch([&] { QTest::keyClicks(find, QStringLiteral("7")); }, [] { return true; }));
        matches = b.filtered().size();
        longestStretch([&] { QTest::keyClick(find, Qt::Key_Backspace); }, [] { return true; });
    }
    std::sort(keystrokes.begin(), keystrokes.end());
    const double type = keystrokes[keystrokes.size() / 2];
    std::fprintf(stderr, "type a find character: median %.1f ms, slowest %.1f ms (%lld match)\n", type,
                 keystrokes.back(), static_cast<long long>(matches));
    std::printf("%.1f\n", std::max({full, select, scroll, type}));
    return 0;
}
