#pragma once
// The structures in the scene: one deep clone of the type's model per structure under the world node, the
// level's table of team-tinted copies of each type's tintable material, every structure's own copy that the
// tint animates, the capture pop, the "snow" nodes, fireworks and the capture marker queued with the
// structure's "Suck" material. A type whose model did not load leaves its structures without a model: they
// still work, draw nothing and are never picked.
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "engine/core/matrix.h"
#include "game/battle/structure_manager.h"
#include "game/units/scene_unit_view_factory.h"

namespace engine {
class RenderQueue;
class SceneNode;
}  // namespace engine

namespace game {

inline constexpr int kStructureModelSlots = 12;  // by type; slot 0 holds none

// The model file of a structure type 1..11; null for any other type.
const char* StructureModelPath(int type);

// Where the structures hang and draw. Every hook may be empty.
struct StructureSceneHooks {
    // The world node the models hang under; null while there is none.
    std::function<engine::SceneNode*()> worldNode;
    // Clones the named effect under the explosions node at the placement.
    std::function<void(const char* effect, const engine::Matrix44& placement)> addEffect;
    // The queue whose opaque list takes the capture markers; null: no markers.
    std::function<engine::RenderQueue*()> renderQueue;
    // The game clock in seconds, which turns and pulses the capture marker.
    std::function<double()> gameSeconds;
    // Loads a scene container; LoadSceneContainer when empty.
    std::function<engine::SceneNode*(const char* name)> loadContainer;
    // The capture marker's model and texture handles; 0 or empty: none.
    std::function<int()> markerModel;
    std::function<int()> markerTexture;
};

class SceneStructurePresenter final : public StructurePresenter {
public:
    explicit SceneStructurePresenter(StructureSceneHooks hooks);
    ~SceneStructurePresenter() override;
    SceneStructurePresenter(const SceneStructurePresenter&) = delete;
    SceneStructurePresenter& operator=(const SceneStructurePresenter&) = delete;

    // The eleven models, each file once (a second call loads them again). False when any is missing; the
    // missing ones are written to stderr and their structures stand without a model.
    bool LoadStructureModels();
    void FreeStructureModels();
    // Takes a loaded prototype for a type (tests and tools); a later one replaces it.
    void SetStructureModel(int type, engine::SceneNode* prototype);
    engine::SceneNode* GetStructureModel(int type) const;
    void SetMarkerAssets(std::function<int()> model, std::function<int()> texture);

    // --- StructurePresenter ----------------------------------------------------------------------------------
    void OnCreated(Structure& structure) override;
    void OnOwnerChanged(Structure& structure) override;
    void OnHandedOver(Structure& structure) override;
    void OnDestroyed(Structure& structure) override;
    void SetSnow(Structure& structure, bool snow) override;
    void LaunchFirework(Structure& structure, int effect, const engine::Vec3& offset) override;
    bool ContainsNode(const Structure& structure, const engine::SceneNode* node) const override;
    void UpdateModel(Structure& structure) override;
    void DrawCaptureMarker(Structure& structure) override;

    // What a structure shows, for the game's questions and tests; null for one it does not know.
    struct Shown {
        const Structure* structure = nullptr;
        engine::SceneNode* model = nullptr;  // null when the type's model is missing
        engine::Matrix44 placement;          // where the model stands, kept while the pop scales it
        int teamMaterial = 0;                // the shared [type, team] material; 0: none (a pad before a hand-over)
        OwnedMaterial own;                   // the structure's copy that the tint animates
        OwnedMaterial marker;                // "Suck", producers and the HQ only
        int applied = 0;                     // the material swapped onto the model now
        bool popping = false;
    };
    const Shown* Find(const Structure& structure) const;
    // The table entry [type, team]; 0 while not made.
    int GetTeamMaterial(int type, int team) const;
    int GetBaseMaterial(int type) const;
    int GetShownCount() const { return static_cast<int>(shown_.size()); }

private:
    Shown* FindMutable(const Structure& structure);
    // Fills the table for the type, then gives the structure its team material, own copy and marker material.
    void ApplyTeamMaterial(Structure& structure, Shown& shown);
    // Swaps the material onto the model's base material; nothing for 0 or when it is already shown.
    void ApplyMaterial(Shown& shown, int type, int material);
    void ClearTable();

    StructureSceneHooks hooks_;
    std::array<engine::SceneNode*, kStructureModelSlots> models_ = {};  // owned prototypes
    std::array<OwnedMaterial, kStructureModelSlots * 5> teamMaterials_ = {};
    std::array<int, kStructureModelSlots> baseMaterials_ = {};
    std::vector<std::unique_ptr<Shown>> shown_;
};

}  // namespace game
