// Draws the largest graph the viewer shows (the centre, 200 child folders and three preview
// folders under each, all labelled) in a 1050 × 680 view, turning the camera a little before
// every frame, and prints the milliseconds per frame. Usage: graphdraw FRAMES. The last line
// printed is the median.

#include "app/viewer/graph/GraphLayout.h"
#include "app/viewer/graph/Map3DCoordinator.h"
#include "app/viewer/graph/OrbitView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

QString name(const QString& stem, int index)
{
    return QStringLiteral("%1 %2").arg(stem).arg(index, 3, 10, QLatin1Char('0'));
}

GraphLayout largestLayout()
{
    const QString root = QStringLiteral("/bench/Projects");
    QList<VEntry> entries;
    QMap<QString, QList<VEntry>> previews;
    for (int i = 0; i < 200; ++i) {
        const QString folder = root + u'/' + name(QStringLiteral("Folder"), i);
        entries.append(VEntry {folder, true, false, 0});
        for (int k = 0; k < 3; ++k)
            previews[folder].append(VEntry {folder + u'/' + name(QStringLiteral("Inner"), k), true, false, 0});
    }
    return GraphLayout::of(VEntry {root, true, false, 0}, entries, previews, true);
}

}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;

    Map3D::Coordinator scene;
    scene.rebuild(largestLayout(), {});
    OrbitView view;
    view.resize(1050, 680);
    view.setScene(&scene.graph);
    view.reset();
    QImage image(view.size(), QImage::Format_RGB32);

    std::vector<double> milliseconds;
    for (int frame = -10; frame < frames; ++frame) {
        view.pan(0.5, 0);
        QElapsedTimer timer;
        timer.start();
        view.render(&image);
        if (frame >= 0)
            milliseconds.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::fprintf(stderr, "%d frames, %zu dots; fastest %.2f ms, slowest %.2f ms\n", frames, scene.dots.size(),
                 milliseconds.front(), milliseconds.back());
    std::printf("%.2f\n", milliseconds[milliseconds.size() / 2]);
    return 0;
}
