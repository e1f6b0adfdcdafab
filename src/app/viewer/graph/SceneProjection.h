#pragma once

#include "app/viewer/graph/DrawItem.h"
#include "app/viewer/graph/OrbitCamera.h"
#include "app/viewer/graph/SceneNode.h"

#include <vector>

// What the camera sees of a scene, ready to paint: edges first, then discs and labels from the
// farthest to the nearest, so nearer dots cover farther ones and no edge crosses a dot.
namespace SceneProjection {
// Fills `out`, which keeps its storage from frame to frame.
void items(const SceneNode& root, const OrbitCamera& camera, std::vector<DrawItem>& out);

// A label's extent in the view: horizontally centred on its node, baseline at the node.
struct LabelBox {
    double left;
    double top;
    double right;
    double bottom;
    double baseline;
    double fontSize;
    double distance;
};
std::optional<LabelBox> labelBox(const SceneNode& label, const Transform3& world, const OrbitCamera& camera);
}
