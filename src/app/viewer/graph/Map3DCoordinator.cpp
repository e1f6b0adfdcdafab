#include "app/viewer/graph/Map3DCoordinator.h"

#include "app/viewer/graph/LabelFont.h"
#include "app/viewer/graph/OrbitView.h"
#include "app/viewer/graph/VectorMath.h"

void Map3D::Coordinator::apply(const QString& path, const Vec3& offset)
{
    if (!starts.contains(path) || !anchors.contains(path) || !tips.contains(path) || !edges.contains(path))
        return;
    anchors[path]->local.translation = offset;
    SceneNode& edge = *edges[path];
    edge.lineFrom = starts[path];
    edge.lineTo = tips[path] + offset;
}

SceneNode& Map3D::Coordinator::attach(const QString& path, SceneNode& parent, const Vec3& start, const Vec3& tip,
                                      SceneNode& edge)
{
    SceneNode& anchor = parent.add(std::make_unique<SceneNode>());
    anchors[path] = &anchor;
    starts[path] = start;
    tips[path] = tip;
    edges[path] = &edge;
    return anchor;
}

void Map3D::Coordinator::rebuild(const GraphLayout& layout, const std::map<QString, Vec3>& offsets)
{
    graph.removeAllChildren();
    dots.clear();
    anchors.clear();
    starts.clear();
    tips.clear();
    edges.clear();
    addDot(layout.folder, graph);
    for (const GraphLayout::Dot& child : layout.children)
        addChild(child, offsets);
}

void Map3D::Coordinator::addChild(const GraphLayout::Dot& child, const std::map<QString, Vec3>& offsets)
{
    SceneNode& edge = graph.add(SceneNode::line(child.start, child.position));
    SceneNode& anchor = attach(child.path, graph, child.start, child.position, edge);
    addDot(child, anchor);
    for (const GraphLayout::Dot& preview : child.previews) {
        SceneNode& previewEdge = anchor.add(SceneNode::line(preview.start, preview.position));
        SceneNode& previewAnchor = attach(preview.path, anchor, preview.start, preview.position, previewEdge);
        addDot(preview, previewAnchor);
        applyStored(preview.path, offsets);
    }
    applyStored(child.path, offsets);
}

void Map3D::Coordinator::applyStored(const QString& path, const std::map<QString, Vec3>& offsets)
{
    if (const auto found = offsets.find(path); found != offsets.end())
        apply(path, found->second);
}

void Map3D::Coordinator::addDot(const GraphLayout::Dot& dot, SceneNode& parent)
{
    SceneNode& sphere = parent.add(SceneNode::sphere(dot.path, dot.radius, dot.tint));
    sphere.local.translation = dot.position;
    dots[dot.path] = &sphere;
    if (dot.label)
        addLabel(dot, parent);
}

void Map3D::Coordinator::addLabel(const GraphLayout::Dot& dot, SceneNode& parent)
{
    const LabelFont::Extent extent = LabelFont::extent(*dot.label);
    SceneNode& label =
        parent.add(SceneNode::label(dot.path, *dot.label, extent.width, extent.ascent, extent.descent));
    label.local.translation = {dot.position.x, dot.position.y + dot.radius + labelGap, dot.position.z};
    label.local.scale = labelScale;
}

void Map3D::Coordinator::spin(const Quaternion& wheel)
{
    OrbitView::orient(graph, wheel);
}

void Map3D::Coordinator::select(const std::optional<QString>& path)
{
    for (auto& [dotPath, node] : dots)
        node->local.scale = path && *path == dotPath ? selectedScale : 1;
}

std::optional<Vec3> Map3D::Coordinator::centerOf(const QString& path) const
{
    if (!anchors.contains(path))
        return std::nullopt;
    const auto dot = dots.find(path);
    if (dot == dots.end())
        return std::nullopt;
    return dot->second->worldPosition();
}

Vec3 Map3D::Coordinator::intoGraph(const Vec3& delta) const
{
    return rotate(conjugate(graph.local.rotation), delta) * (1 / graph.local.scale);
}
