#pragma once
// A shot in the scene: a "Proj" mesh node carrying the mesh and material of the projectile's model, and for a
// rocket a clone of the trail effect, both hung under the world node while the shot lives and deleted with it.
#include "game/units/unit_view.h"

namespace engine {
class SceneNode;
}  // namespace engine

namespace game {

class SceneProjectileView final : public ProjectileView {
public:
    // world may be null (nothing is shown then); model and trail are prototypes, null for none.
    SceneProjectileView(engine::SceneNode* world, const engine::SceneNode* model, const engine::SceneNode* trail);
    ~SceneProjectileView() override;
    SceneProjectileView(const SceneProjectileView&) = delete;
    SceneProjectileView& operator=(const SceneProjectileView&) = delete;

    void SetMatrix(const engine::Matrix44& matrix) override;
    void SetHidden(bool hidden) override;
    void SetTrailMatrix(const engine::Matrix44& matrix) override;

    engine::SceneNode* GetNode() const { return node_; }
    engine::SceneNode* GetTrail() const { return trail_; }

private:
    engine::SceneNode* node_ = nullptr;   // owned
    engine::SceneNode* trail_ = nullptr;  // owned
};

}  // namespace game
