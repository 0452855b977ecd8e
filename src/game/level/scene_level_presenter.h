#pragma once
// The level in the scene: the folder's "/Map" scene container hung under the world node, its "MapTopTree"
// node, the reach marker (a flare standing on the tile to reach) and the ground marks drawn as flat quads of
// the crater sheet. A missing model, effect or texture is named once on stderr; its part then draws nothing.
#include <functional>
#include <memory>
#include <set>
#include <string>

#include "game/level/level_presenter.h"
#include "game/units/scene_unit_view_factory.h"

namespace engine {
class RenderQueue;
class SceneNode;
class SortedBillboardList;
}  // namespace engine

namespace game {

class Level;

// Where the level hangs and what it loads. Every hook may be empty.
struct LevelSceneHooks {
    // The world node the model and the reach marker hang under; null while there is none.
    std::function<engine::SceneNode*()> worldNode;
    // Loads a scene container; LoadSceneContainer when empty.
    std::function<engine::SceneNode*(const char* name)> loadContainer;
    // The prototype of a named effect; null when it is not loaded.
    std::function<const engine::SceneNode*(const char* name)> findEffect;
    // Loads a texture; TextureTable::Load when empty. 0 when it is missing.
    std::function<int(const char* name)> loadTexture;
};

inline constexpr const char* kReachMarkerEffect = "Particles/ComboFlare";
inline constexpr const char* kCraterTexture = "Common/DRUV_craters";
inline constexpr const char* kCraterNormals = "Common/DRUV_craters_normals";
inline constexpr const char* kShadowTexture = "Common/DRUV_shadow";

// The level model of a level folder: "<folder>/Map".
inline std::string LevelModelPath(const std::string& folder) { return folder + "/Map"; }

class SceneLevelPresenter final : public LevelPresenter {
public:
    explicit SceneLevelPresenter(LevelSceneHooks hooks);
    ~SceneLevelPresenter() override;
    SceneLevelPresenter(const SceneLevelPresenter&) = delete;
    SceneLevelPresenter& operator=(const SceneLevelPresenter&) = delete;

    // --- LevelPresenter -------------------------------------------------------------------------------------
    // Also makes the crater and shadow materials and their lists, whether or not the model is there.
    bool LoadModel(const std::string& folder) override;
    void SetMapTopTreeVisible(bool visible) override;
    void ShowReachMarker(HexCoord hex, const engine::Vec3& levelPoint) override;
    void Release() override;
    engine::SceneNode* GetModelNode() const override { return model_; }

    // Refills the crater list from the level's ground marks and queues it in the blended list; nothing
    // without the list (its texture is missing) or without a used mark.
    void DrawGroundMarks(const Level& level, engine::RenderQueue& queue);

    engine::SceneNode* GetMapTopTree() const { return mapTopTree_; }
    engine::SceneNode* GetReachMarker() const { return reachMarker_; }
    engine::SortedBillboardList* GetCraterList() const { return craters_.get(); }
    engine::SortedBillboardList* GetShadowList() const { return shadows_.get(); }
    int GetCraterMaterial() const { return craterMaterial_.handle; }
    int GetShadowMaterial() const { return shadowMaterial_.handle; }

private:
    // Writes the name to stderr the first time it is missing.
    void ReportMissing(const std::string& what);
    int LoadTexture(const char* name);
    void MakeGroundMarkLists();

    LevelSceneHooks hooks_;
    engine::SceneNode* model_ = nullptr;        // owned, under the world node
    engine::SceneNode* mapTopTree_ = nullptr;   // inside the model
    engine::SceneNode* reachMarker_ = nullptr;  // owned, under the world node
    OwnedMaterial craterMaterial_;
    OwnedMaterial shadowMaterial_;
    std::unique_ptr<engine::SortedBillboardList> craters_;
    std::unique_ptr<engine::SortedBillboardList> shadows_;
    std::set<std::string> reported_;
};

}  // namespace game
