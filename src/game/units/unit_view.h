#pragma once
// What a unit asks of the scene: its model, made from the type's prototype, hung under the world, placed
// by its local matrix, tinted, animated and picked. The scene side implements it; until a model exists every
// call of the null view does nothing.
#include <cstdint>
#include <memory>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"

namespace engine {
class SceneNode;
}  // namespace engine

namespace game {

class UnitView {
public:
    virtual ~UnitView() = default;

    // Makes the model: a deep clone of the prototype of that path, or, with a root name, a new empty group
    // node of that name holding the clone as its child. False when the prototype is missing.
    virtual bool BuildModel(const char* prototypePath, const char* compositeRootName) = 0;
    // Hangs the model under the world node, or, for a door, under the level model's node.
    virtual void AttachToWorld(bool underLevelModel) = 0;
    // Hangs the model under a node of a scene of its own (the turn announcer's) instead of the world.
    virtual void AttachUnder(engine::SceneNode*) {}
    virtual void Detach() = 0;
    virtual bool IsAttached() const = 0;
    virtual void SetLocalMatrix(const engine::Matrix44& matrix) = 0;
    // Puts the side's tint on the model material whose name contains materialName.
    virtual void SetTeamMaterial(const char* materialName, std::uint32_t teamColour) = 0;
    // Plays the named animation on the model's animation player; false when there is no player or no
    // animation of that name (nothing changes then).
    virtual bool PlayAnimation(const char* name, bool restart) = 0;
    // True when the node belongs to the model (picking); false for null.
    virtual bool ContainsNode(const engine::SceneNode* node) const = 0;
    // The unit-build particle effect at the position, with its level sound.
    virtual void PlayBuildEffect(const engine::Vec3& position) = 0;
    // Deletes the model with its children.
    virtual void DestroyModel() = 0;

    // --- Animation state ----------------------------------------------------------------------------------
    // The name of the animation playing, "" when none.
    virtual const char* GetAnimationName() const { return ""; }
    // True when the current take has played to its end (also when nothing plays).
    virtual bool IsAnimationFinished() const { return true; }
    // True when the current take has run past its end at least once (looping takes too).
    virtual bool IsAnimationPastEnd() const { return true; }

    // --- Placement and look -------------------------------------------------------------------------------
    // Updates the model's world matrices from its local matrix and its parents.
    virtual void UpdateWorldMatrices() {}
    virtual engine::Matrix44 GetWorldMatrix() const { return {}; }
    // Places the model by a world matrix (a passenger hung under its carrier).
    virtual void SetWorldMatrix(const engine::Matrix44&) {}
    // Colour slot 0 of the unit's private tint material, which the model then shows; useTint false puts the
    // shared team material back.
    virtual void SetTint(std::uint32_t, bool) {}

    // --- Effect nodes ---------------------------------------------------------------------------------------
    // A clone of the effect prototype owned by the unit; its handle (never 0), or 0 when none was made.
    virtual int CreateEffectNode(const char*) { return 0; }
    // Hangs the effect under the model, placed by its local matrix.
    virtual void HangEffectNode(int, const engine::Matrix44&) {}
    // Places the effect in the world by a world matrix.
    virtual void PlaceEffectNode(int, const engine::Matrix44&) {}
    // Stops new particles; those in flight play out.
    virtual void StopEffectEmitting(int) {}
    // True when the effect has nothing left to show (also for an unknown handle).
    virtual bool IsEffectFinished(int) const { return true; }
    // Hangs the effect under the world node placed by a world matrix; hanging it again restarts its emitter.
    virtual void HangEffectInWorld(int, const engine::Matrix44&) {}
    // Takes the effect out of the scene (it stays owned by the unit).
    virtual void DetachEffectNode(int) {}

    // --- Parts of the model -------------------------------------------------------------------------------
    // Handles of the model's own nodes (never 0; 0 means none). A name is matched without regard to case;
    // of several matches the last in walk order wins.
    virtual int FindPart(const char*) const { return 0; }
    // The last node whose name contains the text (case kept), or 0.
    virtual int FindPartContaining(const char*) const { return 0; }
    // Moves the part directly under the model's root, so that it turns in the root's frame.
    virtual void ReparentPartToRoot(int) {}
    virtual engine::Matrix44 GetPartLocalMatrix(int) const { return {}; }
    virtual void SetPartLocalMatrix(int, const engine::Matrix44&) {}
    virtual engine::Matrix44 GetPartWorldMatrix(int) const { return {}; }
    // Sets or clears scene-node flag bits of a part (0x4: nothing to draw).
    virtual void SetPartFlags(int, std::uint32_t, bool) {}
    // The model's own local matrix as last set.
    virtual engine::Matrix44 GetLocalMatrix() const { return {}; }
};

// The scene-node flag that hides a node's mesh (a grenade that has left the hand).
inline constexpr std::uint32_t kNodeFlagNothingToDraw = 0x4;

// Where a projectile is drawn: its "Proj" node with the model's mesh payload, hidden until it flies, and
// the trail of a rocket. The null projectile view draws nothing.
class ProjectileView {
public:
    virtual ~ProjectileView() = default;
    virtual void SetMatrix(const engine::Matrix44&) {}
    virtual void SetHidden(bool) {}
    virtual void SetTrailMatrix(const engine::Matrix44&) {}
};

// The models a projectile can carry.
enum class ProjectileModel { kNone, kCanonBall, kRocket, kFireSpit, kGrenade };

// No model: every call does nothing, BuildModel and PlayAnimation answer false, ContainsNode false.
class NullUnitView final : public UnitView {
public:
    bool BuildModel(const char*, const char*) override { return false; }
    void AttachToWorld(bool) override {}
    void Detach() override {}
    bool IsAttached() const override { return false; }
    void SetLocalMatrix(const engine::Matrix44&) override {}
    void SetTeamMaterial(const char*, std::uint32_t) override {}
    bool PlayAnimation(const char*, bool) override { return false; }
    bool ContainsNode(const engine::SceneNode*) const override { return false; }
    void PlayBuildEffect(const engine::Vec3&) override {}
    void DestroyModel() override {}
};

// Makes the views of new units and holds the prototypes they are cloned from: the unit models and the
// particle effects units and projectiles use.
class UnitViewFactory {
public:
    virtual ~UnitViewFactory() = default;

    // Loads every prototype; false when one is missing.
    virtual bool LoadPrototypes() = 0;
    virtual void FreePrototypes() = 0;
    virtual std::unique_ptr<UnitView> CreateView() = 0;
    // The node of a projectile with the model's payload, and a rocket trail when asked; a null view when
    // the factory makes none.
    virtual std::unique_ptr<ProjectileView> CreateProjectileView(ProjectileModel, bool) {
        return std::make_unique<ProjectileView>();
    }
};

class NullUnitViewFactory final : public UnitViewFactory {
public:
    bool LoadPrototypes() override { return true; }
    void FreePrototypes() override {}
    std::unique_ptr<UnitView> CreateView() override { return std::make_unique<NullUnitView>(); }
};

}  // namespace game
