#pragma once

#include "app/viewer/graph/GraphLayout.h"
#include "app/viewer/graph/Transform3.h"

#include <QString>

#include <memory>
#include <vector>

// One node of the graph's scene: a placement relative to its parent and at most one shape.
// Nodes own their children; names and category masks let picking find dots and labels.
class SceneNode {
public:
    enum class Shape { none, sphere, label, line };

    static constexpr int defaultMask = 1;
    static constexpr int sphereMask = 2;
    static constexpr int labelMask = 4;

    SceneNode() = default;
    SceneNode(const SceneNode&) = delete;
    SceneNode& operator=(const SceneNode&) = delete;

    static std::unique_ptr<SceneNode> sphere(const QString& path, double radius, GraphLayout::Tint tint);
    // `width` and `ascent` are the text's extent at font size 1, `descent` below the baseline.
    static std::unique_ptr<SceneNode> label(const QString& path, const QString& text, double width, double ascent,
                                            double descent);
    static std::unique_ptr<SceneNode> line(const Vec3& from, const Vec3& to);

    SceneNode& add(std::unique_ptr<SceneNode> child);
    void removeAllChildren();
    const std::vector<std::unique_ptr<SceneNode>>& children() const { return children_; }
    const SceneNode* parent() const { return parent_; }

    Transform3 worldTransform() const;
    Vec3 worldPosition() const { return worldTransform().translation; }

    QString name;
    int categoryBitMask = defaultMask;
    Transform3 local;

    Shape shape = Shape::none;
    GraphLayout::Tint tint = GraphLayout::Tint::white;
    double radius = 0;
    QString text;
    double textWidth = 0;
    double textAscent = 0;
    double textDescent = 0;
    Vec3 lineFrom;
    Vec3 lineTo;

private:
    SceneNode* parent_ = nullptr;
    std::vector<std::unique_ptr<SceneNode>> children_;
};
