#pragma once

#include "app/viewer/graph/GraphLayout.h"
#include "app/viewer/graph/Map3D.h"
#include "app/viewer/graph/SceneNode.h"
#include "app/viewer/model/Quaternion.h"
#include "app/viewer/model/Vec3.h"

#include <QString>
#include <QUuid>

#include <map>
#include <optional>

// The graph's scene nodes and the tables that let one dot move without a rebuild.
class Map3D::Coordinator {
public:
    static constexpr double selectedScale = GraphLayout::selectedScale;
    static constexpr double labelScale = 0.44;
    static constexpr double labelGap = 0.08;

    std::optional<QUuid> stamp;
    std::optional<QUuid> reset;
    std::map<QString, SceneNode*> dots;
    // Parent of everything drawn; turned by the spin.
    SceneNode graph;
    std::map<QString, SceneNode*> anchors;
    std::map<QString, Vec3> tips;
    std::map<QString, SceneNode*> edges;
    std::map<QString, Vec3> starts;

    // Moves one dot (with its label and anything hanging below it) by its drag offset and
    // re-aims the edge into it.
    void apply(const QString& path, const Vec3& offset);
    SceneNode& attach(const QString& path, SceneNode& parent, const Vec3& start, const Vec3& tip, SceneNode& edge);

    void rebuild(const GraphLayout& layout, const std::map<QString, Vec3>& offsets);
    void spin(const Quaternion& wheel);
    void select(const std::optional<QString>& path);
    // The world position of a dot that can move; none for the centre dot and unknown paths.
    std::optional<Vec3> centerOf(const QString& path) const;
    // A world-space displacement in the graph's own space.
    Vec3 intoGraph(const Vec3& delta) const;

private:
    void addChild(const GraphLayout::Dot& child, const std::map<QString, Vec3>& offsets);
    void addDot(const GraphLayout::Dot& dot, SceneNode& parent);
    void addLabel(const GraphLayout::Dot& dot, SceneNode& parent);
    void applyStored(const QString& path, const std::map<QString, Vec3>& offsets);
};
