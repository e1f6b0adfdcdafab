#pragma once

#include "app/viewer/graph/OrbitCamera.h"
#include "app/viewer/graph/SceneNode.h"
#include "app/viewer/graph/ScreenPoint.h"

#include <QString>

#include <functional>
#include <map>
#include <optional>

// Which dot or label lies under a point of the view.
namespace ScenePicking {
// A press this close to a dot on screen still grabs it in modify mode.
inline constexpr double grabReach = 7;

// The name of the nearest node under the point among those whose category matches the mask.
std::optional<QString> nearestHit(const SceneNode& root, const OrbitCamera& camera, const ScreenPoint& point,
                                  int mask);

// The movable dot whose projected centre is nearest to the point within grabReach; on equal
// distance the one nearer the camera.
std::optional<QString> nearestDot(const std::map<QString, SceneNode*>& dots, const OrbitCamera& camera,
                                  const ScreenPoint& point, const std::function<bool(const QString&)>& movable);
}
