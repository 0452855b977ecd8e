// The level-model checks: picks, scenery and lines of sight through the engine's own queries and the map's
// own line-of-sight test.
#include "level_checks.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <span>
#include <sstream>

#include "engine/core/frame_timer.h"
#include "engine/core/random_streams.h"
#include "engine/core/wide_string.h"
#include "engine/image/image.h"
#include "engine/platform/data_files.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/shader_set.h"
#include "engine/scene/camera.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_queries.h"
#include "engine/scene/pick_segment.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/battle/hex_map_file.h"
#include "game/battle/hex_map_source.h"
#include "level_mesh.h"

namespace levelmodel {
namespace {

constexpr float kPickTolerance = 0.02f;

std::string Tile(game::HexCoord hex) { return "tile " + game::FormatHexLabel(hex); }

std::string Number(float value) {
    std::ostringstream out;
    out.precision(3);
    out << std::fixed << value;
    return out.str();
}

engine::SceneNode* FindTopTree(engine::SceneNode& root) {
    return root.FindDescendantContaining(engine::WideString("MapTopTree"));
}

// Hides "MapTopTree" while it lives, as the game's pointer step does around its pick.
class TopTreeHidden {
public:
    explicit TopTreeHidden(engine::SceneNode& root) : node_(FindTopTree(root)) {
        if (node_ != nullptr) node_->SetActive(false);
        root.UpdateWorldMatrix();
    }
    ~TopTreeHidden() {
        if (node_ != nullptr) node_->SetActive(true);
    }
    TopTreeHidden(const TopTreeHidden&) = delete;
    TopTreeHidden& operator=(const TopTreeHidden&) = delete;

private:
    engine::SceneNode* node_;
};

template <typename Visit>
void ForEachTile(const game::HexMap& map, Visit&& visit) {
    for (int row = 0; row < game::kMapRows; ++row) {
        for (int column = 0; column < game::kMapColumns; ++column) {
            const game::HexCoord hex = game::MakeHexCoord(column, row);
            if (game::IsValidHex(hex) && map.GetTile(hex).terrain != game::kTerrainNone) visit(hex, map.GetTile(hex));
        }
    }
}

// A tile on which an obstacle or a wall stands, its top at the tile height.
bool HasFeatureTop(const game::HexTile& tile) {
    if (tile.objectClass != game::kObjectFeature || tile.overlay != 0) return false;
    return tile.objectType == 1 || tile.objectType == 3 || tile.objectType == 4 || tile.objectType == 5 ||
           tile.objectType == 8;
}

bool IsSceneryName(const std::string& name) {
    return std::find(SceneryNames().begin(), SceneryNames().end(), name) != SceneryNames().end();
}

// Hides the scenery nodes while it lives, so that picks meet what stands under the trees.
class SceneryHidden {
public:
    explicit SceneryHidden(engine::SceneNode& root) {
        Hide(root);
        root.UpdateWorldMatrix();
    }
    ~SceneryHidden() {
        for (engine::SceneNode* node : hidden_) node->SetActive(true);
    }
    SceneryHidden(const SceneryHidden&) = delete;
    SceneryHidden& operator=(const SceneryHidden&) = delete;

private:
    void Hide(engine::SceneNode& node) {
        for (int i = 0; i < node.GetChildCount(); ++i) {
            engine::SceneNode* child = node.GetChild(i);
            if (child == nullptr) continue;
            if (child->IsActive() && IsSceneryName(child->GetName().GetNarrow())) {
                child->SetActive(false);
                hidden_.push_back(child);
            }
            Hide(*child);
        }
    }
    std::vector<engine::SceneNode*> hidden_;
};

// The height a pick straight down at the hex centre meets, if any.
bool PickDown(engine::SceneNode& root, const engine::Vec3& at, float& y) {
    engine::Vec3 point;
    float distance = 1.0f;
    engine::PickHit hit;
    if (engine::SceneNode::RayPick(point, distance, hit, &root, {at.x, at.y + 50.0f, at.z}, {0.0f, -100.0f, 0.0f}) ==
        0) {
        return false;
    }
    y = point.y;
    return true;
}

// An open hex: ground without a feature or structure, neither water nor a rock mass.
bool IsOpen(const game::HexTile& tile) {
    return tile.objectClass != game::kObjectFeature && tile.objectClass != game::kObjectStructure &&
           tile.terrain != game::kTerrainWater && tile.terrain != game::kTerrainNone &&
           tile.terrain != game::kTerrainBlocked;
}

class SceneCamera final : public engine::Camera {
public:
    void Render(engine::RenderQueue*, engine::RenderTarget&) override {}
    void DrawSkybox() override {}
    void SetWorldMatrix(const engine::Matrix44&) override {}
};

// The battle as the map's line-of-sight test sees it: no units, no structures, only the level model.
class ModelOnlyBattle final : public game::BattleContext {
public:
    ModelOnlyBattle(game::HexMap& map, engine::SceneNode& model) : map_(map), model_(model) {}

    game::MapUnit* FindMapUnitAt(game::HexCoord) const override { return nullptr; }
    game::MapUnit* FindAirMapUnitAt(game::HexCoord) const override { return nullptr; }
    int GetCurrentTeamKind() const override { return -1; }
    int GetTeamControl(int) const override { return game::kControlNone; }
    std::span<game::MapUnit* const> GetTeamMapUnits(int) const override { return {}; }
    void ClearTargetMarks() override {}
    int CountTargetMarkedUnits() const override { return 0; }
    game::Structure* FindStructureAt(game::HexCoord) const override { return nullptr; }
    void ClearStructureMarks() override {}
    const game::UnitParams* GetUnitParams(int) const override { return nullptr; }
    bool IsHeldImmobile(const game::MapUnit&) const override { return false; }
    bool BoxTouchesLevel(const engine::Matrix44& box, const engine::Vec3& halfSize) const override {
        engine::TriangleList triangles;
        const engine::Aabb extent{{-halfSize.x, -halfSize.y, -halfSize.z}, {halfSize.x, halfSize.y, halfSize.z}};
        engine::SceneNode::GatherTrianglesInBox(extent, &triangles, &model_, box);
        return triangles.GetCount() > 0;
    }
    game::Unit* FindUnitById(int) const override { return nullptr; }
    game::Unit* FindUnitAt(game::HexCoord) const override { return nullptr; }
    bool IsSettingUp() const override { return false; }
    int NextUnitId() override { return ++lastId_; }
    int GetGameMode() const override { return game::kGameModeSkirmish; }
    std::uint32_t GetOptionBits() const override { return 0; }
    bool IsFastForward() const override { return false; }
    void UnlockAchievement(int) override {}
    engine::WideString GetText(const char* key) const override { return engine::WideString(key); }
    game::HexMap& GetHexMap() override { return map_; }
    engine::RandomStreams& GetRandomStreams() override { return random_; }
    const engine::FrameTimer& GetFrameTimer() const override { return timer_; }

private:
    game::HexMap& map_;
    engine::SceneNode& model_;
    int lastId_ = 0;
    engine::RandomStreams random_{[] { return 1u; }};
    engine::FrameTimer timer_;
};

void CollectScenery(engine::SceneNode& node, bool underTop, int& count, std::vector<LevelFault>& faults) {
    for (int i = 0; i < node.GetChildCount(); ++i) {
        engine::SceneNode* child = node.GetChild(i);
        if (child == nullptr) continue;
        const std::string name = child->GetName().GetNarrow();
        const bool top = underTop || name.find("MapTopTree") != std::string::npos;
        if (IsSceneryName(name)) {
            ++count;
            if (!underTop) faults.push_back({"", "the scenery node \"" + name + "\" is not under \"MapTopTree\""});
        }
        CollectScenery(*child, top, count, faults);
    }
}

int CountTriangles(engine::SceneNode& node) {
    int count = 0;
    if (node.GetType() == engine::kNodeMesh || node.GetType() == engine::kNodeAnimatedMesh) {
        if (const engine::Model* model = node.GetModel()) count += model->GetTriangleCount();
    }
    for (int i = 0; i < node.GetChildCount(); ++i) {
        if (engine::SceneNode* child = node.GetChild(i)) count += CountTriangles(*child);
    }
    return count;
}

bool ReadData(const std::string& path, std::vector<std::uint8_t>& out) {
    std::size_t size = 0;
    const auto bytes = engine::LoadWholeFileNarrow(path.c_str(), size);
    if (bytes == nullptr) return false;
    out.assign(bytes.get(), bytes.get() + size);
    return true;
}

void CollectMaterials(engine::SceneNode& node, std::vector<int>& out) {
    auto add = [&out](int handle) {
        if (handle > 0 && std::find(out.begin(), out.end(), handle) == out.end()) out.push_back(handle);
    };
    add(node.GetMaterial());
    if (node.GetType() == engine::kNodeMesh || node.GetType() == engine::kNodeAnimatedMesh) {
        if (const engine::Model* model = node.GetModel()) {
            for (int b = 0; b < model->GetBatchCount(); ++b) add(model->GetBatch(b)->material);
        }
    }
    for (int i = 0; i < node.GetChildCount(); ++i) {
        if (engine::SceneNode* child = node.GetChild(i)) CollectMaterials(*child, out);
    }
}

}  // namespace

int DecodingTextureSource::Load(const engine::WideString& name, int) {
    engine::Image image;
    if (image.LoadFromWideName(name) == 0) return 0;
    widths_.push_back(static_cast<int>(image.Width()));
    return static_cast<int>(widths_.size());
}

int DecodingTextureSource::MakeCheckTexture(int width, int, std::uint32_t, std::uint32_t) {
    widths_.push_back(width);
    return static_cast<int>(widths_.size());
}

int DecodingTextureSource::Width(int handle) const {
    return handle >= 1 && handle <= static_cast<int>(widths_.size()) ? widths_[static_cast<std::size_t>(handle - 1)]
                                                                     : 0;
}

void CheckLevelMaterials(engine::SceneNode& root, std::vector<LevelFault>& faults) {
    std::vector<int> handles;
    CollectMaterials(root, handles);
    for (int handle : handles) {
        const engine::MaterialDef* material = engine::GetMaterialLib().Get(handle);
        if (material == nullptr) continue;
        const std::string name = material->GetName().GetNarrow();
        if ((material->GetFlags() & 0x1u) != 0) faults.push_back({"", "the material " + name + " has flag 0x1"});
        const engine::ShaderSetInfo info = engine::MakeShaderSetInfo(material->GetShaderSetIndex());
        for (int stage = 0; stage < engine::kSetTextureSlots; ++stage) {
            if (info.textures[stage].kind != engine::kSlotNone && material->GetTexture(stage) == 0) {
                faults.push_back({"", "the material " + name + " has no texture in slot " + std::to_string(stage)});
            }
        }
    }
}

void CheckCentrePicks(game::HexMap& map, engine::SceneNode& root, std::vector<LevelFault>& faults,
                      LevelCheckCounts* counts) {
    LevelCheckCounts unused;
    LevelCheckCounts& count = counts != nullptr ? *counts : unused;
    std::vector<game::HexCoord> faulted;  // each tile is reported once
    {
        TopTreeHidden hidden(root);
        ForEachTile(map, [&](game::HexCoord hex, const game::HexTile&) {
            ++count.picks;
            engine::Vec3 standing;
            map.GetSurfacePoint(standing, hex);
            float y = 0.0f;
            if (!PickDown(root, standing, y)) {
                faults.push_back({Tile(hex), "a pick from above meets nothing"});
                faulted.push_back(hex);
            } else if (std::fabs(y - standing.y) > kPickTolerance) {
                faults.push_back({Tile(hex), "a pick from above lands at " + Number(y) + ", where units stand at " +
                                                 Number(standing.y)});
                faulted.push_back(hex);
            }
        });
    }
    SceneryHidden hidden(root);
    ForEachTile(map, [&](game::HexCoord hex, const game::HexTile& tile) {
        if (std::find(faulted.begin(), faulted.end(), hex) != faulted.end()) return;
        engine::Vec3 standing;
        map.GetSurfacePoint(standing, hex);
        float y = 0.0f;
        const bool top = HasFeatureTop(tile);
        const float expected = top ? tile.height : standing.y;
        if (!PickDown(root, standing, y) || std::fabs(y - expected) > kPickTolerance) {
            faults.push_back({Tile(hex), std::string(top ? "the top of what stands here" : "the ground") +
                                             " should be at " + Number(expected) +
                                             ", but a pick with the features shown lands at " +
                                             (PickDown(root, standing, y) ? Number(y) : std::string("nothing"))});
        }
    });
}

void CheckScenery(engine::SceneNode& root, std::vector<LevelFault>& faults) {
    if (FindTopTree(root) == nullptr) faults.push_back({"", "no \"MapTopTree\" group"});
    int count = 0;
    CollectScenery(root, false, count, faults);
    if (count > kMaxSceneryNodes) {
        faults.push_back({"", std::to_string(count) + " scenery nodes, more than the " +
                                  std::to_string(kMaxSceneryNodes) + " the decorations take"});
    }
}

void CheckScreenPicks(game::HexMap& map, engine::SceneNode& root, std::uint32_t seed, int count,
                      std::vector<LevelFault>& faults, LevelCheckCounts* counts) {
    std::vector<game::HexCoord> candidates;
    ForEachTile(map, [&](game::HexCoord hex, const game::HexTile&) { candidates.push_back(hex); });
    std::mt19937 random(seed);
    TopTreeHidden hidden(root);
    SceneCamera camera;
    const int width = 1280, height = 720;
    camera.Init({0, 0, width, height}, 0.0f, 0.5f, 200.0f);
    for (int n = 0; n < count && !candidates.empty(); ++n) {
        const std::size_t pick = random() % candidates.size();
        const game::HexCoord hex = candidates[pick];
        candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(pick));
        if (counts != nullptr) ++counts->clicks;
        engine::Vec3 standing;
        map.GetSurfacePoint(standing, hex);
        // From 20 above, a little to the south, looking at the hex.
        const engine::Vec3 eye{standing.x, standing.y + 20.0f, standing.z - 3.5f};
        engine::Matrix44 placement;
        placement.SetBasisFromDirection(standing.Sub(eye).Normalised());
        placement.SetRow(3, eye);
        camera.GetViewTransform().SetMatrix(placement);
        camera.UpdateFrustum();
        int x = 0, y = 0;
        engine::PickHit hit;
        engine::Vec3 point;
        if (camera.ProjectToScreen(standing, x, y) == 0 || camera.PickAtScreen(nullptr, x, y, hit, point, &root) == 0) {
            faults.push_back({Tile(hex), "a click from above meets nothing"});
            continue;
        }
        int column = -1, row = -1;
        map.PickHex(column, row, point);
        if (column != hex.column || row != hex.row) {
            const std::string got = column < 0 ? "no hex" : Tile(game::MakeHexCoord(column, row));
            faults.push_back({Tile(hex), "a click from above gives " + got});
        }
    }
}

void CheckLinesOfSight(game::HexMap& map, engine::SceneNode& root, std::vector<LevelFault>& faults,
                       LevelCheckCounts* counts) {
    LevelCheckCounts unused;
    LevelCheckCounts& count = counts != nullptr ? *counts : unused;
    root.UpdateWorldMatrix();
    ModelOnlyBattle battle(map, root);
    game::BattleContext* before = map.GetBattleContext();
    map.SetBattleContext(&battle);
    ForEachTile(map, [&](game::HexCoord from, const game::HexTile& start) {
        if (!IsOpen(start)) return;
        // Directions 0 to 2 only: each pair is looked at once.
        for (int d = 0; d < 3; ++d) {
            game::HexCoord middle, to;
            if (!game::HexNeighbour(from, d, middle) || !game::HexNeighbour(middle, d, to)) continue;
            const game::HexTile& between = map.GetTile(middle);
            const game::HexTile& end = map.GetTile(to);
            if (!IsOpen(end) || end.level != start.level) continue;
            engine::Vec3 eye, target;
            map.GetLevelPoint(eye, from);
            eye.y += 0.5f;
            map.GetSurfacePoint(target, to);
            target.y += 0.5f;
            const bool wall = between.objectClass == game::kObjectFeature && between.objectType >= 4 &&
                              between.objectType <= 8 && between.objectType != game::kFeatureDoor &&
                              between.objectType != game::kFeatureRemoved;
            const bool higher = between.terrain != game::kTerrainNone && between.height >= start.height + 1.0f;
            const bool open = IsOpen(between) && between.level == start.level;
            if (!wall && !higher && !open) continue;
            const bool clear = map.HasLineOfSight(eye, target);
            ++(wall ? count.wallLines : higher ? count.heightLines : count.clearLines);
            const std::string pair = Tile(from) + " to " + game::FormatHexLabel(to);
            if (open && !clear) faults.push_back({pair, "the line of sight over open ground is blocked"});
            if (wall && clear) faults.push_back({pair, "the line of sight passes the wall between"});
            if (higher && !wall && clear) faults.push_back({pair, "the line of sight passes the higher hex between"});
        }
    });
    map.SetBattleContext(before);
}

void CheckTriangleBudget(engine::SceneNode& root, std::vector<LevelFault>& faults, LevelCheckCounts* counts) {
    const int triangles = CountTriangles(root);
    if (counts != nullptr) counts->triangles = triangles;
    if (triangles > kMaxLevelTriangles) {
        faults.push_back(
            {"", std::to_string(triangles) + " triangles, more than " + std::to_string(kMaxLevelTriangles)});
    }
}

std::vector<LevelFault> CheckLevelFolder(const std::string& folder, LevelCheckCounts* counts) {
    game::HexMap map;
    if (!game::LoadHexMap(map, folder, ReadData)) return {{"", "the map file does not load"}};
    engine::SceneNode* root = engine::LoadSceneContainer((folder + "/Map").c_str());
    if (root == nullptr) return {{"", "the level model does not load"}};
    std::vector<LevelFault> faults = CheckLevelModel(map, *root, 45, counts);
    root->Destroy();
    return faults;
}

std::vector<LevelFault> CheckLevelModel(game::HexMap& map, engine::SceneNode& root, std::uint32_t seed,
                                        LevelCheckCounts* counts) {
    std::vector<LevelFault> faults;
    CheckTriangleBudget(root, faults, counts);
    CheckScenery(root, faults);
    CheckLevelMaterials(root, faults);
    CheckCentrePicks(map, root, faults, counts);
    CheckScreenPicks(map, root, seed, 50, faults, counts);
    CheckLinesOfSight(map, root, faults, counts);
    return faults;
}

}  // namespace levelmodel
