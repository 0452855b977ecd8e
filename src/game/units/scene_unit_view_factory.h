#pragma once
// The views of units and projectiles in the scene: the factory loads the unit models, the shared particle
// effects and the projectile models once, clones them for every new unit or shot, and keeps the level's table
// of team-tinted unit materials (one clone of a type's tint material per side colour, shared by every unit of
// that type and side).
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/vector.h"
#include "game/units/unit_view.h"

namespace engine {
class MaterialDef;
class SceneNode;
}  // namespace engine

namespace game {

// Where the views hang their nodes and how they make their sounds. Every hook may be empty.
struct UnitSceneHooks {
    // The world node units, projectiles and world effects hang under; null while there is none.
    std::function<engine::SceneNode*()> worldNode;
    // The node one-shot effects (the build effect) hang under; the world node when empty or null.
    std::function<engine::SceneNode*()> explosionsNode;
    // A level sound (the build effect's).
    std::function<void(int sound)> playLevelSound;
    // Loads a scene container; LoadSceneContainer when empty.
    std::function<engine::SceneNode*(const char* name)> loadContainer;
    // The level model the door hangs under; null (or empty) while there is none.
    std::function<engine::SceneNode*()> levelModelNode;
};

// A material clone made by a view or the factory. Its name is kept so that it is deleted only while its slot
// still holds it: the level's purge may have freed it and the slot been reused.
struct OwnedMaterial {
    int handle = 0;
    std::string name;
};
// Clones a material into the current resource group with colour slot 0 set; {0, ""} when it cannot.
OwnedMaterial CloneTintedMaterial(int baseMaterial, std::uint32_t colour);
void DeleteOwnedMaterial(const OwnedMaterial& material);
// The material while its slot still holds it; null once it has gone.
engine::MaterialDef* FindOwnedMaterial(const OwnedMaterial& material);

class SceneUnitViewFactory final : public UnitViewFactory {
public:
    explicit SceneUnitViewFactory(UnitSceneHooks hooks);
    ~SceneUnitViewFactory() override;
    SceneUnitViewFactory(const SceneUnitViewFactory&) = delete;
    SceneUnitViewFactory& operator=(const SceneUnitViewFactory&) = delete;

    // --- UnitViewFactory -----------------------------------------------------------------------------------
    // Loads the 24 unit models and the shared effects (each file once; a second call frees and loads again),
    // and the projectile models with the rocket trail. False when a unit model or a shared effect is
    // missing: every missing name is then listed by GetMissingFiles and written to stderr. A missing
    // projectile model only leaves its shots without a mesh.
    bool LoadPrototypes() override;
    void FreePrototypes() override;
    std::unique_ptr<UnitView> CreateView() override;
    std::unique_ptr<ProjectileView> CreateProjectileView(ProjectileModel model, bool trail) override;

    const std::vector<std::string>& GetMissingFiles() const { return missing_; }
    // Every file LoadPrototypes reads, in its order: the unit models, the shared effects, the projectiles.
    static std::vector<std::string> PrototypePaths();
    // A loaded prototype by its path (unit model, effect or projectile model), or null.
    engine::SceneNode* FindPrototype(const char* path) const;
    int PrototypeCount() const { return static_cast<int>(prototypes_.size()); }

    // The level model's node the door hangs under; null hangs the door under the world node.
    void SetLevelModelNode(engine::SceneNode* node) { levelModel_ = node; }
    // The node set here, else the level model of the hooks.
    engine::SceneNode* GetLevelModelNode() const {
        if (levelModel_ != nullptr) return levelModel_;
        return hooks_.levelModelNode ? hooks_.levelModelNode() : nullptr;
    }
    engine::SceneNode* GetWorldNode() const;
    engine::SceneNode* GetExplosionsNode() const;
    void PlayLevelSound(int sound) const;
    void SetLevelSoundHook(std::function<void(int sound)> play) { hooks_.playLevelSound = std::move(play); }

    // The shared team material of a prototype for a side colour: made on first use as a clone of
    // baseMaterial with colour slot 0 set to the colour. 0 when the clone cannot be made.
    int GetTeamMaterial(const std::string& prototypePath, int baseMaterial, std::uint32_t colour);
    int TeamMaterialCount() const { return static_cast<int>(teamMaterials_.size()); }
    // Empties the table, deleting the clones that are still in the material table (the level's purge may
    // have freed them already).
    void ClearTeamMaterials();

private:
    engine::SceneNode* Load(const char* path);

    UnitSceneHooks hooks_;
    std::vector<std::pair<std::string, engine::SceneNode*>> prototypes_;  // owned
    std::vector<std::string> missing_;
    engine::SceneNode* levelModel_ = nullptr;
    std::map<std::pair<std::string, std::uint32_t>, OwnedMaterial> teamMaterials_;
};

}  // namespace game
