#include "game/level/scene_level_presenter.h"

#include <cstdio>

#include "engine/core/matrix.h"
#include "engine/core/wide_string.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/texture_table.h"
#include "engine/scene/billboard_list.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"
#include "game/level/level.h"

namespace game {
namespace {

constexpr const char* kMapTopTree = "MapTopTree";
constexpr std::uint32_t kDefaultColour = 0xFFFFFFFFu;
constexpr float kMarkSize = 0.8f;
constexpr float kMarkBounds = 100.0f;
constexpr int kCraterCapacity = 32;
constexpr int kShadowCapacity = 240;
// Blended, without a shadow of their own.
constexpr std::uint32_t kGroundMarkDrawFlags = 2050;

struct MaterialRecipe {
    const char* name;
    int lighting;
    int alphaTest;
    int blend;
    int drawOrder;
    std::uint32_t flags;
};
constexpr MaterialRecipe kCraters = {"Craters", 1, 2, 3, 900, 0x200};
constexpr MaterialRecipe kShadows = {"Shadows", 0, 0, 2, 1, 0x8};

OwnedMaterial MakeMaterial(const MaterialRecipe& recipe, int texture) {
    engine::MaterialLib& lib = engine::GetMaterialLib();
    const int handle = lib.Create(recipe.name, 1, recipe.lighting, recipe.alphaTest, recipe.blend);
    engine::MaterialDef* material = handle > 0 ? lib.Get(handle) : nullptr;
    if (material == nullptr) return {};
    material->SetTexture(0, texture);
    material->SetDrawOrder(recipe.drawOrder);
    material->SetFlags(recipe.flags);
    return {handle, recipe.name};
}

std::unique_ptr<engine::SortedBillboardList> MakeList(int capacity, int material) {
    auto list = std::make_unique<engine::SortedBillboardList>();
    list->Resize(capacity, kMarkSize, kMarkSize, kDefaultColour, material, kMarkBounds);
    list->SetGroundFlag(1);
    return list;
}

}  // namespace

SceneLevelPresenter::SceneLevelPresenter(LevelSceneHooks hooks) : hooks_(std::move(hooks)) {}

SceneLevelPresenter::~SceneLevelPresenter() { Release(); }

void SceneLevelPresenter::ReportMissing(const std::string& what) {
    if (!reported_.insert(what).second) return;
    std::fprintf(stderr, "tinmarch: %s is missing or damaged; the level shows without it\n", what.c_str());
}

int SceneLevelPresenter::LoadTexture(const char* name) {
    const int handle = hooks_.loadTexture ? hooks_.loadTexture(name) : engine::TextureTable::Load(name, 0);
    if (handle <= 0) ReportMissing(std::string("the texture \"") + name + "\"");
    return handle > 0 ? handle : 0;
}

bool SceneLevelPresenter::LoadModel(const std::string& folder) {
    Release();
    MakeGroundMarkLists();
    const std::string path = LevelModelPath(folder);
    model_ = hooks_.loadContainer ? hooks_.loadContainer(path.c_str()) : engine::LoadSceneContainer(path.c_str());
    if (model_ == nullptr) {
        ReportMissing("the level model \"" + path + ".CNT\"");
        return false;
    }
    engine::SceneNode* world = hooks_.worldNode ? hooks_.worldNode() : nullptr;
    if (world == nullptr || !world->AddChild(model_)) {
        model_->Destroy();
        model_ = nullptr;
        return false;
    }
    model_->UpdateWorldMatrix();
    mapTopTree_ = model_->FindDescendantContaining(engine::WideString(kMapTopTree));
    return true;
}

void SceneLevelPresenter::MakeGroundMarkLists() {
    // Without its texture a list would draw white squares: the marks are left out instead.
    const int craterTexture = LoadTexture(kCraterTexture);
    if (craterTexture > 0) {
        craterMaterial_ = MakeMaterial(kCraters, craterTexture);
        if (engine::MaterialDef* material = FindOwnedMaterial(craterMaterial_)) {
            const int normals = LoadTexture(kCraterNormals);
            if (normals > 0) material->SetExtraTexture(normals);
            craters_ = MakeList(kCraterCapacity, craterMaterial_.handle);
        }
    }
    const int shadowTexture = LoadTexture(kShadowTexture);
    if (shadowTexture > 0) {
        shadowMaterial_ = MakeMaterial(kShadows, shadowTexture);
        if (FindOwnedMaterial(shadowMaterial_) != nullptr) shadows_ = MakeList(kShadowCapacity, shadowMaterial_.handle);
    }
}

void SceneLevelPresenter::SetMapTopTreeVisible(bool visible) {
    if (mapTopTree_ != nullptr) mapTopTree_->SetActive(visible);
}

void SceneLevelPresenter::ShowReachMarker(HexCoord, const engine::Vec3& levelPoint) {
    if (reachMarker_ != nullptr) return;
    const engine::SceneNode* prototype = hooks_.findEffect ? hooks_.findEffect(kReachMarkerEffect) : nullptr;
    engine::SceneNode* world = hooks_.worldNode ? hooks_.worldNode() : nullptr;
    if (prototype == nullptr) {
        ReportMissing(std::string("the effect \"") + kReachMarkerEffect + "\"");
        return;
    }
    if (world == nullptr) return;
    engine::SceneNode* marker = prototype->Clone(true);
    if (marker == nullptr) return;
    // The flare's effect points along z: turned to stand upright on the tile.
    engine::Matrix44 placement;
    placement.InitRotationX(-90.0f);
    placement.SetRow(3, levelPoint);
    marker->SetLocalMatrix(placement);
    if (!world->AddChild(marker)) {
        marker->Destroy();
        return;
    }
    marker->UpdateWorldMatrix();
    reachMarker_ = marker;
}

void SceneLevelPresenter::DrawGroundMarks(const Level& level, engine::RenderQueue& queue) {
    if (!craters_) return;
    craters_->Clear();
    // Craters in the lower half of the sheet, the scorch marks of the other kind in the upper half; four
    // variants a row.
    for (int kind : {1, 0}) {
        const float rowBase = kind == 1 ? 0.5f : 0.0f;
        for (int slot = 0; slot < kGroundMarksPerKind; ++slot) {
            const GroundMark& mark = level.GetGroundMark(kind, slot);
            if (mark.time == 0.0f) continue;
            const float u = static_cast<float>(mark.variant % 4) * 0.25f;
            const float v = static_cast<float>(mark.variant / 4) * 0.25f + rowBase;
            const float rect[4] = {u, v, u + 0.25f, v + 0.25f};
            craters_->AddItemWithUV({mark.position.x, mark.position.y, mark.position.z, 1.0f}, rect, mark.angle);
        }
    }
    if (craters_->GetCount() == 0) return;
    queue.GetDrawList(1).AddSortedBillboardList(kGroundMarkDrawFlags, engine::Matrix44{}, craters_.get());
}

void SceneLevelPresenter::Release() {
    craters_.reset();
    shadows_.reset();
    if (reachMarker_ != nullptr) reachMarker_->Destroy();
    reachMarker_ = nullptr;
    mapTopTree_ = nullptr;
    if (model_ != nullptr) model_->Destroy();
    model_ = nullptr;
    DeleteOwnedMaterial(craterMaterial_);
    DeleteOwnedMaterial(shadowMaterial_);
    craterMaterial_ = {};
    shadowMaterial_ = {};
}

}  // namespace game
