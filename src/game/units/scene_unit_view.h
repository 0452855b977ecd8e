#pragma once
// A unit's model in the scene: a deep clone of its type's prototype (under a group root of its own for the
// composite models), hung under the world node or the level model, tinted with its side's shared material
// or its own tint material, animated through the model's animation player, and the owner of the effect nodes
// the unit makes. Parts are handed out as small integer handles so that the unit code never holds a node.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "game/units/scene_unit_view_factory.h"
#include "game/units/unit_view.h"

namespace engine {
class AnimationPlayer;
}  // namespace engine

namespace game {

class SceneUnitView final : public UnitView {
public:
    explicit SceneUnitView(SceneUnitViewFactory& factory);
    ~SceneUnitView() override;
    SceneUnitView(const SceneUnitView&) = delete;
    SceneUnitView& operator=(const SceneUnitView&) = delete;

    bool BuildModel(const char* prototypePath, const char* compositeRootName) override;
    void AttachToWorld(bool underLevelModel) override;
    void AttachUnder(engine::SceneNode* parent) override;
    void Detach() override;
    bool IsAttached() const override;
    void SetLocalMatrix(const engine::Matrix44& matrix) override;
    void SetTeamMaterial(const char* materialName, std::uint32_t teamColour) override;
    bool PlayAnimation(const char* name, bool restart) override;
    bool ContainsNode(const engine::SceneNode* node) const override;
    void PlayBuildEffect(const engine::Vec3& position) override;
    void DestroyModel() override;

    const char* GetAnimationName() const override;
    bool IsAnimationFinished() const override;
    bool IsAnimationPastEnd() const override;

    void UpdateWorldMatrices() override;
    engine::Matrix44 GetWorldMatrix() const override;
    void SetWorldMatrix(const engine::Matrix44& matrix) override;
    void SetTint(std::uint32_t colour, bool useTint) override;

    int CreateEffectNode(const char* prototype) override;
    void HangEffectNode(int effect, const engine::Matrix44& local) override;
    void PlaceEffectNode(int effect, const engine::Matrix44& world) override;
    void StopEffectEmitting(int effect) override;
    bool IsEffectFinished(int effect) const override;
    void HangEffectInWorld(int effect, const engine::Matrix44& world) override;
    void DetachEffectNode(int effect) override;

    int FindPart(const char* name) const override;
    int FindPartContaining(const char* text) const override;
    void ReparentPartToRoot(int part) override;
    engine::Matrix44 GetPartLocalMatrix(int part) const override;
    void SetPartLocalMatrix(int part, const engine::Matrix44& matrix) override;
    engine::Matrix44 GetPartWorldMatrix(int part) const override;
    void SetPartFlags(int part, std::uint32_t flags, bool set) override;
    engine::Matrix44 GetLocalMatrix() const override;

    engine::SceneNode* GetModel() const { return model_; }
    // The material the tinted nodes show now: the shared team material or the unit's own tint material.
    int GetShownMaterial() const { return shown_; }
    int GetTeamMaterialHandle() const { return teamMaterial_; }
    int GetTintMaterialHandle() const { return tint_.handle; }

private:
    void TakeFinished() const;
    engine::SceneNode* Effect(int effect) const;
    engine::SceneNode* Part(int part) const;
    int PartHandle(engine::SceneNode* node) const;
    // Shows the material on every node of the model that carries the base tint material.
    void ShowMaterial(int material);

    SceneUnitViewFactory& factory_;
    std::string prototypePath_;
    engine::SceneNode* model_ = nullptr;  // owned, with everything under it
    engine::AnimationPlayer* player_ = nullptr;
    mutable bool finished_ = false;
    std::map<int, engine::SceneNode*> effects_;  // owned
    int nextEffect_ = 1;
    mutable std::vector<engine::SceneNode*> parts_;  // handle - 1 -> node of the model
    int baseMaterial_ = 0;
    int teamMaterial_ = 0;
    OwnedMaterial tint_;
    int shown_ = 0;
};

}  // namespace game
