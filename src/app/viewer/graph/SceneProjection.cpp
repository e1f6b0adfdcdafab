#include "app/viewer/graph/SceneProjection.h"

#include "app/viewer/graph/VectorMath.h"

#include <algorithm>

namespace {

double distanceOf(const Vec3& point, const OrbitCamera& camera)
{
    return -camera.toEye(point).z;
}

// Moves `behind` along the segment to the near plane when it lies closer than that.
Vec3 clipped(const Vec3& behind, const Vec3& front, const OrbitCamera& camera)
{
    const double b = distanceOf(behind, camera);
    if (b >= OrbitCamera::near)
        return behind;
    const double f = distanceOf(front, camera);
    return behind + (front - behind) * ((OrbitCamera::near - b) / (f - b));
}

void addLine(const SceneNode& node, const Transform3& world, const OrbitCamera& camera, std::vector<DrawItem>& out)
{
    const Vec3 a = world.apply(node.lineFrom);
    const Vec3 b = world.apply(node.lineTo);
    if (distanceOf(a, camera) < OrbitCamera::near && distanceOf(b, camera) < OrbitCamera::near)
        return;
    const auto from = camera.project(clipped(a, b, camera));
    const auto to = camera.project(clipped(b, a, camera));
    if (from && to)
        out.push_back({DrawItem::Kind::line, &node, std::max(from->distance, to->distance), from->point, to->point, 0});
}

void addDisc(const SceneNode& node, const Transform3& world, const OrbitCamera& camera, std::vector<DrawItem>& out)
{
    const auto centre = camera.project(world.translation);
    if (!centre)
        return;
    const double radius = camera.projectedRadius(world.translation, node.radius * world.scale);
    out.push_back({DrawItem::Kind::disc, &node, centre->distance, centre->point, {}, radius});
}

void addLabel(const SceneNode& node, const Transform3& world, const OrbitCamera& camera, std::vector<DrawItem>& out)
{
    if (const auto box = SceneProjection::labelBox(node, world, camera))
        out.push_back({DrawItem::Kind::label, &node, box->distance, {(box->left + box->right) / 2, box->baseline},
                       {}, box->fontSize});
}

void collect(const SceneNode& node, const Transform3& parent, const OrbitCamera& camera, std::vector<DrawItem>& out)
{
    const Transform3 world = node.local.within(parent);
    switch (node.shape) {
    case SceneNode::Shape::line:
        addLine(node, world, camera, out);
        break;
    case SceneNode::Shape::sphere:
        addDisc(node, world, camera, out);
        break;
    case SceneNode::Shape::label:
        addLabel(node, world, camera, out);
        break;
    case SceneNode::Shape::none:
        break;
    }
    for (const auto& child : node.children())
        collect(*child, world, camera, out);
}

bool drawnBefore(const DrawItem& a, const DrawItem& b)
{
    const bool aLine = a.kind == DrawItem::Kind::line;
    const bool bLine = b.kind == DrawItem::Kind::line;
    if (aLine != bLine)
        return aLine;
    return a.distance > b.distance;
}

}

void SceneProjection::items(const SceneNode& root, const OrbitCamera& camera, std::vector<DrawItem>& out)
{
    out.clear();
    const Transform3 above = root.parent() ? root.parent()->worldTransform() : Transform3();
    collect(root, above, camera, out);
    std::sort(out.begin(), out.end(), drawnBefore);
}

std::optional<SceneProjection::LabelBox> SceneProjection::labelBox(const SceneNode& label, const Transform3& world,
                                                                   const OrbitCamera& camera)
{
    const auto origin = camera.project(world.translation);
    if (!origin)
        return std::nullopt;
    // A billboard faces the camera, so its plane is parallel to the view and scales uniformly.
    const double pointsPerUnit = world.scale / camera.unitsPerPoint(origin->distance);
    const double halfWidth = label.textWidth * pointsPerUnit / 2;
    const ScreenPoint at = origin->point;
    return LabelBox {at.x - halfWidth, at.y - label.textAscent * pointsPerUnit, at.x + halfWidth,
                     at.y + label.textDescent * pointsPerUnit, at.y, pointsPerUnit, origin->distance};
}
