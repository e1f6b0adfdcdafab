#include "app/viewer/graph/SceneNode.h"

std::unique_ptr<SceneNode> SceneNode::sphere(const QString& path, double radius, GraphLayout::Tint tint)
{
    auto node = std::make_unique<SceneNode>();
    node->name = path;
    node->categoryBitMask = sphereMask;
    node->shape = Shape::sphere;
    node->radius = radius;
    node->tint = tint;
    return node;
}

std::unique_ptr<SceneNode> SceneNode::label(const QString& path, const QString& text, double width, double ascent,
                                            double descent)
{
    auto node = std::make_unique<SceneNode>();
    node->name = path;
    node->categoryBitMask = labelMask;
    node->shape = Shape::label;
    node->tint = GraphLayout::labelTint;
    node->text = text;
    node->textWidth = width;
    node->textAscent = ascent;
    node->textDescent = descent;
    return node;
}

std::unique_ptr<SceneNode> SceneNode::line(const Vec3& from, const Vec3& to)
{
    auto node = std::make_unique<SceneNode>();
    node->shape = Shape::line;
    node->tint = GraphLayout::edgeTint;
    node->lineFrom = from;
    node->lineTo = to;
    return node;
}

SceneNode& SceneNode::add(std::unique_ptr<SceneNode> child)
{
    child->parent_ = this;
    children_.push_back(std::move(child));
    return *children_.back();
}

void SceneNode::removeAllChildren()
{
    children_.clear();
}

Transform3 SceneNode::worldTransform() const
{
    return parent_ ? local.within(parent_->worldTransform()) : local;
}
