#include "app/viewer/graph/ScenePicking.h"

#include "app/viewer/graph/SceneProjection.h"
#include "app/viewer/graph/VectorMath.h"

#include <cmath>
#include <limits>

namespace {

struct Hit {
    const SceneNode* node = nullptr;
    double distance = std::numeric_limits<double>::infinity();
};

// Distance along the ray to the sphere's first surface point in front of the eye.
std::optional<double> sphereHit(const Vec3& eye, const Vec3& ray, const Vec3& centre, double radius)
{
    const Vec3 toCentre = centre - eye;
    const double along = dot(toCentre, ray);
    const double miss = dot(toCentre, toCentre) - along * along;
    if (miss > radius * radius)
        return std::nullopt;
    const double half = std::sqrt(radius * radius - miss);
    const double t = along - half > 0 ? along - half : along + half;
    return t > 0 ? std::optional(t) : std::nullopt;
}

std::optional<double> labelHit(const SceneNode& node, const Transform3& world, const OrbitCamera& camera,
                               const ScreenPoint& point, const Vec3& ray)
{
    const auto box = SceneProjection::labelBox(node, world, camera);
    if (!box || point.x < box->left || point.x > box->right || point.y < box->top || point.y > box->bottom)
        return std::nullopt;
    // The billboard's plane is perpendicular to the viewing axis, at the label's distance.
    return box->distance / -dot(ray, camera.viewingAxis());
}

void search(const SceneNode& node, const Transform3& parent, const OrbitCamera& camera, const ScreenPoint& point,
            const Vec3& ray, int mask, Hit& best)
{
    const Transform3 world = node.local.within(parent);
    if (node.categoryBitMask & mask) {
        std::optional<double> distance;
        if (node.shape == SceneNode::Shape::sphere)
            distance = sphereHit(camera.eyePosition(), ray, world.translation, node.radius * world.scale);
        else if (node.shape == SceneNode::Shape::label)
            distance = labelHit(node, world, camera, point, ray);
        if (distance && *distance < best.distance)
            best = {&node, *distance};
    }
    for (const auto& child : node.children())
        search(*child, world, camera, point, ray, mask, best);
}

}

std::optional<QString> ScenePicking::nearestHit(const SceneNode& root, const OrbitCamera& camera,
                                                const ScreenPoint& point, int mask)
{
    Hit best;
    const Transform3 above = root.parent() ? root.parent()->worldTransform() : Transform3();
    search(root, above, camera, point, camera.rayThrough(point), mask, best);
    if (!best.node)
        return std::nullopt;
    return best.node->name;
}

std::optional<QString> ScenePicking::nearestDot(const std::map<QString, SceneNode*>& dots,
                                                const OrbitCamera& camera, const ScreenPoint& point,
                                                const std::function<bool(const QString&)>& movable)
{
    std::optional<QString> found;
    double bestGap = std::numeric_limits<double>::infinity();
    double bestDepth = std::numeric_limits<double>::infinity();
    for (const auto& [path, node] : dots) {
        const auto seen = camera.project(node->worldPosition());
        if (!seen || seen->depth < 0 || seen->depth > 1 || !movable(path))
            continue;
        const double gap = std::hypot(seen->point.x - point.x, seen->point.y - point.y);
        if (gap > grabReach)
            continue;
        if (gap < bestGap || (gap == bestGap && seen->depth < bestDepth)) {
            found = path;
            bestGap = gap;
            bestDepth = seen->depth;
        }
    }
    return found;
}
