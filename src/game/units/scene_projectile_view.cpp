#include "game/units/scene_projectile_view.h"

#include "engine/scene/scene_node.h"

namespace game {

namespace {

// The first node of the tree that carries a mesh, in walk order.
const engine::SceneNode* FirstMesh(const engine::SceneNode* node) {
    if (node == nullptr) return nullptr;
    if (node->GetModelIndex() != 0) return node;
    for (int i = 0; i < node->GetChildCount(); ++i) {
        if (const engine::SceneNode* found = FirstMesh(node->GetChild(i))) return found;
    }
    return nullptr;
}

// Hangs the node under the parent; deletes it and gives null when that fails.
engine::SceneNode* Hang(engine::SceneNode* parent, engine::SceneNode* node) {
    if (node == nullptr) return nullptr;
    if (parent == nullptr || !parent->AddChild(node)) {
        node->Destroy();
        return nullptr;
    }
    return node;
}

}  // namespace

SceneProjectileView::SceneProjectileView(engine::SceneNode* world, const engine::SceneNode* model,
                                         const engine::SceneNode* trail) {
    if (world == nullptr) return;
    engine::SceneNode* node = engine::SceneNode::Init(engine::kNodeMesh, "Proj");
    if (node != nullptr) {
        if (const engine::SceneNode* mesh = FirstMesh(model)) {
            node->SetPayload(mesh->GetModelIndex());
            node->SetMaterial(mesh->GetMaterial());
        } else {
            // Without a model the shot is invisible, not a default cube.
            node->SetFlags(node->GetFlags() | engine::kNodeNothingToDraw);
        }
    }
    node_ = Hang(world, node);
    if (trail != nullptr) trail_ = Hang(world, trail->Clone(true));
}

SceneProjectileView::~SceneProjectileView() {
    if (trail_ != nullptr) trail_->Destroy();
    if (node_ != nullptr) node_->Destroy();
}

void SceneProjectileView::SetMatrix(const engine::Matrix44& matrix) {
    if (node_ == nullptr) return;
    node_->SetLocalMatrix(matrix);
    node_->UpdateWorldMatrix();
}

void SceneProjectileView::SetHidden(bool hidden) {
    if (node_ == nullptr || node_->GetModelIndex() == 0) return;
    const std::uint32_t flags = node_->GetFlags();
    node_->SetFlags(hidden ? flags | engine::kNodeNothingToDraw : flags & ~engine::kNodeNothingToDraw);
}

void SceneProjectileView::SetTrailMatrix(const engine::Matrix44& matrix) {
    if (trail_ == nullptr) return;
    trail_->SetLocalMatrix(matrix);
    trail_->UpdateWorldMatrix();
}

}  // namespace game
