#include "app/viewer/graph/GraphLayout.h"

#include "app/viewer/graph/FileCluster.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double ringRadius = 6.3;
constexpr double sphereRadius = 8;
constexpr double sphereHeight = 6;
constexpr double sphereTurn = 2.3999632297;
constexpr double previewRingRadius = 9;
constexpr double previewRingHeight = -2.3;
constexpr double previewStep = 0.14;
constexpr double denseStepFactor = 2.5;
constexpr double denseReach = 1.24;
constexpr double denseDrop = 0.5;
constexpr int denseFrom = 15;
constexpr int denseLabelledUpTo = 42;
// Sizes shrink in dense mode once there are more entries than this.
constexpr double denseShrinkFrom = 70;

constexpr double centreRadius = 0.66;
constexpr double folderRadius = 0.41;
constexpr double fileRadius = 0.3;
constexpr double previewRadius = 0.22;

constexpr int labelLimit = 21;
constexpr int labelKept = 19;

using Dot = GraphLayout::Dot;
using Tint = GraphLayout::Tint;

struct Mode {
    int count;
    bool dense;
    // Files gather in a cluster only beside folders, and only when there are several.
    bool clustered;
};

bool isFile(const VEntry& entry)
{
    return !entry.folder && !entry.link;
}

Mode modeOf(const QList<VEntry>& entries, bool fullView)
{
    const int count = int(entries.size());
    const auto files = std::count_if(entries.begin(), entries.end(), isFile);
    const bool anyFolder = std::any_of(entries.begin(), entries.end(), [](const VEntry& e) { return e.folder; });
    return {count, fullView && count >= denseFrom, files >= 2 && anyFolder};
}

Tint tintOf(const VEntry& entry)
{
    if (entry.folder)
        return Tint::teal;
    return entry.link ? Tint::purple : Tint::orange;
}

double ringAngle(int index, int count)
{
    return -std::numbers::pi / 2 + index * (2 * std::numbers::pi) / count;
}

Vec3 onRing(double angle, double radius, double height)
{
    return {radius * std::cos(angle), height, radius * std::sin(angle)};
}

// A golden-angle spiral over a sphere of radius 8, squashed to a height of ±6.
Vec3 onSphere(int index, int count)
{
    const double y = 1 - 2 * (index + 0.5) / count;
    const double r = sphereRadius * std::sqrt(std::max(0.0, 1 - y * y));
    const double theta = index * sphereTurn;
    return {r * std::cos(theta), sphereHeight * y, r * std::sin(theta)};
}

double childRadius(const VEntry& entry, const Mode& mode)
{
    const double base = entry.folder ? folderRadius : fileRadius;
    return mode.dense ? base * std::min(1.0, std::sqrt(denseShrinkFrom / mode.count)) : base;
}

bool childLabelled(const VEntry& entry, const Mode& mode)
{
    return entry.folder || !mode.dense || mode.count <= denseLabelledUpTo;
}

Vec3 previewPosition(const Dot& parent, double angle, int index, int count, bool dense)
{
    const double spread = (index - (count - 1) * 0.5) * previewStep;
    if (!dense)
        return onRing(angle + spread, previewRingRadius, previewRingHeight);
    const double d = spread * denseStepFactor;
    const Vec3& p = parent.position;
    return {denseReach * p.x + d, denseReach * p.y - denseDrop, denseReach * p.z + d};
}

std::vector<Dot> previewDots(const Dot& parent, double angle, const QList<VEntry>& items, bool dense)
{
    std::vector<Dot> dots;
    for (int k = 0; k < items.size(); ++k) {
        const VEntry& item = items[k];
        dots.push_back({item.path, previewPosition(parent, angle, k, int(items.size()), dense), parent.position,
                        previewRadius, tintOf(item),
                        item.folder ? std::optional(GraphLayout::label(item.title())) : std::nullopt, {}});
    }
    return dots;
}

}

GraphLayout GraphLayout::of(const VEntry& folder, const QList<VEntry>& entries,
                            const QMap<QString, QList<VEntry>>& previews, bool fullView)
{
    const Mode mode = modeOf(entries, fullView);
    GraphLayout layout;
    layout.dense = mode.dense;
    layout.folder = {folder.path, centre, centre, centreRadius, Tint::white, label(folder.title()), {}};
    int clusteredSoFar = 0;
    const int clusterSize = int(std::count_if(entries.begin(), entries.end(), isFile));
    for (int i = 0; i < mode.count; ++i) {
        const VEntry& entry = entries[i];
        const double angle = ringAngle(i, mode.count);
        Vec3 position;
        if (mode.clustered && isFile(entry))
            position = FileCluster::position(clusteredSoFar++, clusterSize, mode.dense);
        else
            position = mode.dense ? onSphere(i, mode.count) : onRing(angle, ringRadius, 0);
        Dot dot {entry.path, position, centre, childRadius(entry, mode), tintOf(entry),
                 childLabelled(entry, mode) ? std::optional(label(entry.title())) : std::nullopt, {}};
        if (entry.folder && previews.contains(entry.path))
            dot.previews = previewDots(dot, angle, previews.value(entry.path), mode.dense);
        layout.children.push_back(std::move(dot));
    }
    return layout;
}

QString GraphLayout::label(const QString& title)
{
    // Characters as a reader counts them, so a cut never splits an accent or an emoji.
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, title);
    int count = 0;
    qsizetype kept = 0;
    while (graphemes.toNextBoundary() != -1) {
        if (++count == labelKept)
            kept = graphemes.position();
        if (count > labelLimit)
            return title.left(kept) + u'…';
    }
    return title;
}

GraphLayout::Colour GraphLayout::colour(Tint tint, bool dark)
{
    switch (tint) {
    case Tint::white:
        return {255, 255, 255};
    case Tint::teal:
        return dark ? Colour {106, 196, 220} : Colour {89, 173, 196};
    case Tint::purple:
        return dark ? Colour {191, 90, 242} : Colour {175, 82, 222};
    case Tint::orange:
        return dark ? Colour {255, 159, 10} : Colour {255, 149, 0};
    case Tint::gray:
        return dark ? Colour {152, 152, 157} : Colour {142, 142, 147};
    }
    return {255, 255, 255};
}
