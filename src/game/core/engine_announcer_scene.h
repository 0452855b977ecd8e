#pragma once
// The announcer's own scene over the engine: a scene view over the full screen (near 0.1, far 50) whose
// camera stands at (0, 0.3, -4) with a 30 degree field of view, a render queue whose scene root is the
// "AnnouncerWorld" node and whose light 1 shines down at the walker, and the walking unit of a side of its
// own whose kind follows the side announced.
#include <memory>

#include "game/core/turn_announcer.h"
#include "game/units/unit_team.h"

namespace engine {
class RenderQueue;
class SceneNode;
class SceneView;
}  // namespace engine

namespace game {

class BattleContext;
class Unit;

class EngineAnnouncerScene final : public AnnouncerScene {
public:
    explicit EngineAnnouncerScene(BattleContext& battle);
    ~EngineAnnouncerScene() override;
    EngineAnnouncerScene(const EngineAnnouncerScene&) = delete;
    EngineAnnouncerScene& operator=(const EngineAnnouncerScene&) = delete;

    // Makes the scene view, render queue, root, camera and light for a screen of that size.
    void Init(int width, int height);

    bool CreateWalker(int unitType, int teamKind) override;
    void DeleteWalker() override;
    bool HasWalker() const override { return walker_ != nullptr; }
    void PlaceWalker(float x, float yawDegrees) override;
    void Render(engine::RenderTargetBase& target) override;
    void Relayout(int width, int height) override;

    engine::SceneView* GetSceneView() const { return view_.get(); }
    engine::SceneNode* GetRoot() const { return root_; }

private:
    // The side the walker belongs to: only its kind and colour matter.
    class WalkerSide final : public UnitTeam {
    public:
        int GetKind() const override { return kind; }
        std::uint32_t GetColour() const override;
        void AddCash(int) override {}
        void AddKill() override {}
        void TransferUnit(Unit&, int) override {}
        int kind = 0;
    };

    BattleContext& battle_;
    WalkerSide side_;
    std::unique_ptr<engine::SceneView> view_;
    std::unique_ptr<engine::RenderQueue> queue_;
    engine::SceneNode* root_ = nullptr;
    std::unique_ptr<Unit> walker_;
};

}  // namespace game
