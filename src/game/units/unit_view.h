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
};

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
};

class NullUnitViewFactory final : public UnitViewFactory {
public:
    bool LoadPrototypes() override { return true; }
    void FreePrototypes() override {}
    std::unique_ptr<UnitView> CreateView() override { return std::make_unique<NullUnitView>(); }
};

}  // namespace game
