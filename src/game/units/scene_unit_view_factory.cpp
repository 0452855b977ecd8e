#include "game/units/scene_unit_view_factory.h"

#include <cstdio>

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"
#include "game/units/scene_projectile_view.h"
#include "game/units/scene_unit_view.h"
#include "game/units/unit_catalogue.h"

namespace game {

namespace {

struct SharedEffect {
    const char* path;
    bool autoDelete;  // one-shot effects delete themselves once played out
};

// The particle effects units and projectiles use.
constexpr SharedEffect kSharedEffects[] = {
    {"Particles/MuzzleExhaust", false},
    {"Particles/MuzzleFlashSmall", false},
    {"Particles/MuzzleFlashSniper", false},
    {"Particles/EngineerSuck", false},
    {"Particles/ComboTracer", false},
    {"Particles/tank_track_smoke", false},
    {"Particles/ComboFlare", false},
    {"Particles/BloodSplatSmall", true},
    {"Particles/Ricochet", true},
    {"Particles/ComboExplosion_airbourne1", true},
    {"Particles/ComboExplosion_airbourne2", true},
    {"Particles/ComboExplosion_airbourne3", true},
    {"Particles/ComboExplosion_ground1", true},
    {"Particles/ComboExplosion_ground2", true},
    {"Particles/ComboExplosion_ground3", true},
    {"Particles/ComboExplosion_water1", true},
    {"Particles/Combo_chard", true},
    {"Particles/ComboExplosion_grenade", true},
    {"Particles/ComboExplosion_missile", true},
    {"Particles/ComboExplosion_barrage", true},
    {"Particles/Combo_Unit_build", true},
    {"Particles/Combo_resupply", true},
    {"Particles/Combo_splash_small", true},
    {"Particles/Combo_fireworks_red", true},
    {"Particles/Combo_fireworks_green", true},
    {"Particles/Combo_fireworks_yellow", true},
};

// The projectile models and the rocket's trail; shots whose model is missing fly without a mesh.
constexpr const char* kProjectileFiles[] = {"Projectiles/CanonBall", "Projectiles/Rocket", "Projectiles/FireSpit",
                                            "Projectiles/Grenade", "Particles/Rocket"};

}  // namespace

OwnedMaterial CloneTintedMaterial(int baseMaterial, std::uint32_t colour) {
    engine::MaterialLib& lib = engine::GetMaterialLib();
    if (baseMaterial < 1 || baseMaterial >= lib.Count() || lib.Get(baseMaterial) == nullptr) return {};
    const int handle = lib.CloneMaterialByIndex(baseMaterial);
    engine::MaterialDef* clone = handle > 0 ? lib.Get(handle) : nullptr;
    if (clone == nullptr) return {};
    clone->SetColour(0, colour);
    return {handle, clone->GetName().GetNarrow()};
}

engine::MaterialDef* FindOwnedMaterial(const OwnedMaterial& material) {
    engine::MaterialLib& lib = engine::GetMaterialLib();
    if (material.handle < 1 || material.handle >= lib.Count()) return nullptr;
    engine::MaterialDef* held = lib.Get(material.handle);
    return held != nullptr && held->GetName().EqualsNarrow(material.name.c_str()) ? held : nullptr;
}

void DeleteOwnedMaterial(const OwnedMaterial& material) {
    if (FindOwnedMaterial(material) != nullptr) engine::GetMaterialLib().DeleteMaterial(material.handle);
}

std::vector<std::string> SceneUnitViewFactory::PrototypePaths() {
    std::vector<std::string> paths;
    for (const UnitDescriptor& row : UnitCatalogue()) paths.emplace_back(row.prototypePath);
    for (const SharedEffect& effect : kSharedEffects) paths.emplace_back(effect.path);
    for (const char* path : kProjectileFiles) paths.emplace_back(path);
    return paths;
}

SceneUnitViewFactory::SceneUnitViewFactory(UnitSceneHooks hooks) : hooks_(std::move(hooks)) {}

SceneUnitViewFactory::~SceneUnitViewFactory() {
    ClearTeamMaterials();
    FreePrototypes();
}

engine::SceneNode* SceneUnitViewFactory::Load(const char* path) {
    engine::SceneNode* root = hooks_.loadContainer ? hooks_.loadContainer(path) : engine::LoadSceneContainer(path);
    if (root != nullptr) prototypes_.emplace_back(path, root);
    return root;
}

bool SceneUnitViewFactory::LoadPrototypes() {
    FreePrototypes();
    missing_.clear();
    const auto required = [this](const char* path) -> engine::SceneNode* {
        engine::SceneNode* root = Load(path);
        if (root == nullptr) {
            missing_.emplace_back(path);
            std::fprintf(stderr, "tinmarch: the model file \"%s.CNT\" is missing or damaged\n", path);
        }
        return root;
    };
    for (const UnitDescriptor& row : UnitCatalogue()) required(row.prototypePath);
    for (const SharedEffect& effect : kSharedEffects) {
        engine::SceneNode* root = required(effect.path);
        if (root != nullptr && effect.autoDelete) root->SetEmitterAutoDelete(true);
    }
    for (const char* path : kProjectileFiles) Load(path);
    return missing_.empty();
}

void SceneUnitViewFactory::FreePrototypes() {
    for (auto& prototype : prototypes_) prototype.second->Destroy();
    prototypes_.clear();
}

std::unique_ptr<UnitView> SceneUnitViewFactory::CreateView() { return std::make_unique<SceneUnitView>(*this); }

std::unique_ptr<ProjectileView> SceneUnitViewFactory::CreateProjectileView(ProjectileModel model, bool trail) {
    const char* path = nullptr;
    switch (model) {
        case ProjectileModel::kCanonBall: path = "Projectiles/CanonBall"; break;
        case ProjectileModel::kRocket: path = "Projectiles/Rocket"; break;
        case ProjectileModel::kFireSpit: path = "Projectiles/FireSpit"; break;
        case ProjectileModel::kGrenade: path = "Projectiles/Grenade"; break;
        case ProjectileModel::kNone: break;
    }
    return std::make_unique<SceneProjectileView>(GetWorldNode(), path != nullptr ? FindPrototype(path) : nullptr,
                                                 trail ? FindPrototype("Particles/Rocket") : nullptr);
}

engine::SceneNode* SceneUnitViewFactory::FindPrototype(const char* path) const {
    if (path == nullptr) return nullptr;
    for (const auto& prototype : prototypes_) {
        if (prototype.first == path) return prototype.second;
    }
    return nullptr;
}

engine::SceneNode* SceneUnitViewFactory::GetWorldNode() const { return hooks_.worldNode ? hooks_.worldNode() : nullptr; }

engine::SceneNode* SceneUnitViewFactory::GetExplosionsNode() const {
    engine::SceneNode* node = hooks_.explosionsNode ? hooks_.explosionsNode() : nullptr;
    return node != nullptr ? node : GetWorldNode();
}

void SceneUnitViewFactory::PlayLevelSound(int sound) const {
    if (hooks_.playLevelSound) hooks_.playLevelSound(sound);
}

int SceneUnitViewFactory::GetTeamMaterial(const std::string& prototypePath, int baseMaterial, std::uint32_t colour) {
    const auto key = std::make_pair(prototypePath, colour);
    const auto found = teamMaterials_.find(key);
    if (found != teamMaterials_.end()) return found->second.handle;
    const OwnedMaterial made = CloneTintedMaterial(baseMaterial, colour);
    if (made.handle == 0) return 0;
    teamMaterials_.emplace(key, made);
    return made.handle;
}

void SceneUnitViewFactory::ClearTeamMaterials() {
    for (const auto& entry : teamMaterials_) DeleteOwnedMaterial(entry.second);
    teamMaterials_.clear();
}

}  // namespace game
