#include "game/level/scene_structure_presenter.h"

#include <cctype>
#include <cstdio>

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/render_queue.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_map.h"
#include "game/battle/structure.h"
#include "game/battle/structure_look.h"
#include "game/battle/team_colours.h"

namespace game {

namespace {

constexpr int kTeamSlots = kMaxTeamKind + 1;

constexpr const char* kModelPaths[kStructureModelSlots] = {
    nullptr,
    "Structures/BuildPad/Pad",
    "Structures/Factory/Factory",
    "Structures/Airport/Airport",
    "Structures/Dockyard/Dockyard",
    "Structures/Barracks/Barracks",
    "Structures/HQ/HQ",
    "Structures/RepairS/RepairS",
    "Structures/Refinery/Refinery",
    "Structures/Radio/Radio",
    "Structures/Silo/Silo",
    "Structures/SupplyShed/SupplyShed",
};

// Red, green, yellow.
constexpr const char* kFireworks[] = {"Particles/Combo_fireworks_red", "Particles/Combo_fireworks_green",
                                      "Particles/Combo_fireworks_yellow"};

// The capture marker's material: shader set 1, default lighting, no alpha test, no blending, flag word 1.
constexpr const char* kMarkerMaterial = "Suck";
constexpr std::uint32_t kMarkerFlags = 1;
// Markers are drawn like the tile markers: no shadow.
constexpr std::uint32_t kMarkerDrawFlags = engine::kEntryNoShadow;

bool IsThreeHex(int type) {
    return (type >= kStructureFactory && type <= kStructureHQ) || type == kStructureSilo;
}

bool HasMarker(int type) { return type >= kStructureFactory && type <= kStructureHQ; }

std::size_t TableIndex(int type, int team) { return static_cast<std::size_t>(type * kTeamSlots + team); }

// Pre-order over the whole subtree, inactive nodes included.
template <typename Fn>
void ForEachNode(engine::SceneNode* node, const Fn& fn) {
    if (node == nullptr) return;
    fn(node);
    for (int i = 0; i < node->GetChildCount(); ++i) ForEachNode(node->GetChild(i), fn);
}

bool NamedSnow(const engine::SceneNode& node) {
    const char* name = node.GetName().GetNarrow();
    const char* want = "snow";
    for (; *name != '\0' && *want != '\0'; ++name, ++want) {
        if (std::tolower(static_cast<unsigned char>(*name)) != *want) return false;
    }
    return *name == '\0' && *want == '\0';
}

// The hex's level point on the manager's map; the bare hex centre without one.
engine::Vec3 LevelPointOf(const Structure& structure) {
    const StructureManager* manager = structure.Manager();
    const HexMap* map = manager != nullptr ? manager->GetMap() : nullptr;
    engine::Vec3 point;
    if (map != nullptr) {
        map->GetLevelPoint(point, structure.GetHex());
    } else {
        const engine::Vec2 centre = HexToWorld(structure.GetHex());
        point = {centre.x, 0.0f, centre.y};
    }
    return point;
}

OwnedMaterial MakeMarkerMaterial(int texture) {
    engine::MaterialLib& lib = engine::GetMaterialLib();
    const int handle = lib.Create(kMarkerMaterial, 1, 0, 0, 0);
    engine::MaterialDef* material = handle > 0 ? lib.Get(handle) : nullptr;
    if (material == nullptr) return {};
    if (texture > 0) material->SetTexture(0, texture);
    material->SetFlags(kMarkerFlags);
    return {handle, kMarkerMaterial};
}

}  // namespace

const char* StructureModelPath(int type) {
    return type >= 1 && type <= kMaxStructureType ? kModelPaths[type] : nullptr;
}

SceneStructurePresenter::SceneStructurePresenter(StructureSceneHooks hooks) : hooks_(std::move(hooks)) {}

SceneStructurePresenter::~SceneStructurePresenter() {
    for (auto& shown : shown_) {
        if (shown->model != nullptr) shown->model->Destroy();
        DeleteOwnedMaterial(shown->own);
        DeleteOwnedMaterial(shown->marker);
    }
    shown_.clear();
    ClearTable();
    FreeStructureModels();
}

// --- Models --------------------------------------------------------------------------------------------------

bool SceneStructurePresenter::LoadStructureModels() {
    FreeStructureModels();
    bool all = true;
    for (int type = 1; type <= kMaxStructureType; ++type) {
        const char* path = kModelPaths[type];
        engine::SceneNode* root =
            hooks_.loadContainer ? hooks_.loadContainer(path) : engine::LoadSceneContainer(path);
        if (root == nullptr) {
            std::fprintf(stderr, "tinmarch: the model file \"%s.CNT\" is missing or damaged\n", path);
            all = false;
        }
        models_[static_cast<std::size_t>(type)] = root;
    }
    return all;
}

void SceneStructurePresenter::FreeStructureModels() {
    for (auto& model : models_) {
        if (model != nullptr) model->Destroy();
        model = nullptr;
    }
}

void SceneStructurePresenter::SetStructureModel(int type, engine::SceneNode* prototype) {
    if (type < 1 || type > kMaxStructureType) {
        if (prototype != nullptr) prototype->Destroy();
        return;
    }
    engine::SceneNode*& slot = models_[static_cast<std::size_t>(type)];
    if (slot != nullptr && slot != prototype) slot->Destroy();
    slot = prototype;
}

engine::SceneNode* SceneStructurePresenter::GetStructureModel(int type) const {
    return type >= 1 && type <= kMaxStructureType ? models_[static_cast<std::size_t>(type)] : nullptr;
}

void SceneStructurePresenter::SetMarkerAssets(std::function<int()> model, std::function<int()> texture) {
    hooks_.markerModel = std::move(model);
    hooks_.markerTexture = std::move(texture);
}

// --- Lookup --------------------------------------------------------------------------------------------------

const SceneStructurePresenter::Shown* SceneStructurePresenter::Find(const Structure& structure) const {
    for (const auto& shown : shown_) {
        if (shown->structure == &structure) return shown.get();
    }
    return nullptr;
}

SceneStructurePresenter::Shown* SceneStructurePresenter::FindMutable(const Structure& structure) {
    return const_cast<Shown*>(Find(structure));
}

int SceneStructurePresenter::GetTeamMaterial(int type, int team) const {
    if (type < 1 || type > kMaxStructureType || team < 0 || team > kMaxTeamKind) return 0;
    return teamMaterials_[TableIndex(type, team)].handle;
}

int SceneStructurePresenter::GetBaseMaterial(int type) const {
    return type >= 1 && type <= kMaxStructureType ? baseMaterials_[static_cast<std::size_t>(type)] : 0;
}

// --- Creation, owners and deletion ---------------------------------------------------------------------------

void SceneStructurePresenter::OnCreated(Structure& structure) {
    if (Find(structure) != nullptr) return;
    auto shown = std::make_unique<Shown>();
    shown->structure = &structure;
    const int type = structure.GetType();
    shown->placement = StructureModelMatrix(LevelPointOf(structure), IsThreeHex(type), structure.IsMirrored());
    const engine::SceneNode* prototype = GetStructureModel(type);
    engine::SceneNode* world = hooks_.worldNode ? hooks_.worldNode() : nullptr;
    engine::SceneNode* model = prototype != nullptr && world != nullptr ? prototype->Clone(true) : nullptr;
    if (model != nullptr) {
        model->SetLocalMatrix(shown->placement);
        if (world->AddChild(model)) {
            model->UpdateWorldMatrix();
            shown->model = model;
        } else {
            model->Destroy();
        }
    }
    Shown& added = *shown_.emplace_back(std::move(shown));
    // Pads get their team material only from a hand-over of team 2 to team 4.
    if (type != kStructureBuildPad) ApplyTeamMaterial(structure, added);
}

void SceneStructurePresenter::ApplyTeamMaterial(Structure& structure, Shown& shown) {
    const int type = structure.GetType();
    if (type < 1 || type > kMaxStructureType) return;
    const char* name = structure.GetTeamMaterialName();
    for (int kind = 0; kind < kTeamSlots; ++kind) {
        OwnedMaterial& entry = teamMaterials_[TableIndex(type, kind)];
        if (entry.handle != 0) continue;
        // The last node whose material's name holds the name, any case; the library's first material when
        // the model has none.
        const engine::SceneNode* node = shown.model != nullptr ? shown.model->FindByMaterialName(name) : nullptr;
        const int base = node != nullptr ? node->GetMaterial() : 1;
        if (kind == 0) baseMaterials_[static_cast<std::size_t>(type)] = base;
        entry = CloneTintedMaterial(base, GetTeamColour(kind));
    }
    const int team = structure.GetTeam();
    shown.teamMaterial = GetTeamMaterial(type, team);
    DeleteOwnedMaterial(shown.own);
    shown.own = CloneTintedMaterial(shown.teamMaterial, GetTeamColour(team));
    ApplyMaterial(shown, type, shown.teamMaterial);
    DeleteOwnedMaterial(shown.marker);
    shown.marker = {};
    if (HasMarker(type)) shown.marker = MakeMarkerMaterial(hooks_.markerTexture ? hooks_.markerTexture() : 0);
}

void SceneStructurePresenter::ApplyMaterial(Shown& shown, int type, int material) {
    if (material == 0 || material == shown.applied) return;
    shown.applied = material;
    const int base = GetBaseMaterial(type);
    ForEachNode(shown.model, [base, material](engine::SceneNode* node) { node->SetMaterialSwap(base, material); });
}

void SceneStructurePresenter::OnOwnerChanged(Structure& structure) {
    Shown* shown = FindMutable(structure);
    if (shown == nullptr) return;
    // While a pop runs the model is scaled: the placement kept from before stays the one to go back to.
    if (shown->model != nullptr && !shown->popping) shown->placement = shown->model->GetLocalMatrix();
    shown->teamMaterial = GetTeamMaterial(structure.GetType(), structure.GetTeam());
    ApplyMaterial(*shown, structure.GetType(), shown->teamMaterial);
}

void SceneStructurePresenter::OnHandedOver(Structure& structure) {
    if (Shown* shown = FindMutable(structure)) ApplyTeamMaterial(structure, *shown);
}

void SceneStructurePresenter::OnDestroyed(Structure& structure) {
    for (auto it = shown_.begin(); it != shown_.end(); ++it) {
        Shown& shown = **it;
        if (shown.structure != &structure) continue;
        if (shown.model != nullptr) shown.model->Destroy();
        DeleteOwnedMaterial(shown.own);
        DeleteOwnedMaterial(shown.marker);
        shown_.erase(it);
        break;
    }
    // The table is the level's: it goes with the last structure.
    if (shown_.empty()) ClearTable();
}

void SceneStructurePresenter::ClearTable() {
    for (OwnedMaterial& entry : teamMaterials_) {
        DeleteOwnedMaterial(entry);
        entry = {};
    }
    baseMaterials_ = {};
}

// --- Snow, fireworks and picking -----------------------------------------------------------------------------

void SceneStructurePresenter::SetSnow(Structure& structure, bool snow) {
    const Shown* shown = Find(structure);
    if (shown == nullptr) return;
    // Every node named "snow", inactive ones too, so that snow switched off can be switched on again.
    ForEachNode(shown->model, [snow](engine::SceneNode* node) {
        if (NamedSnow(*node)) node->SetActive(snow);
    });
}

void SceneStructurePresenter::LaunchFirework(Structure& structure, int effect, const engine::Vec3& offset) {
    const Shown* shown = Find(structure);
    if (shown == nullptr || effect < 0 || effect > 2 || !hooks_.addEffect) return;
    const engine::Vec3 at = shown->placement.GetTranslation();
    engine::Matrix44 placement;
    placement.InitRotationX(-90.0f);
    placement.SetRow(3, {at.x + offset.x, at.y + offset.y, at.z + offset.z});
    hooks_.addEffect(kFireworks[effect], placement);
}

bool SceneStructurePresenter::ContainsNode(const Structure& structure, const engine::SceneNode* node) const {
    const Shown* shown = Find(structure);
    if (shown == nullptr || shown->model == nullptr || node == nullptr) return false;
    // The node and every node up to the model must be active: an inactive branch is not drawn or picked.
    for (const engine::SceneNode* n = node; n != nullptr; n = n->GetParent()) {
        if (!n->IsActive()) return false;
        if (n == shown->model) return true;
    }
    return false;
}

// --- Per frame -----------------------------------------------------------------------------------------------

void SceneStructurePresenter::UpdateModel(Structure& structure) {
    Shown* shown = FindMutable(structure);
    if (shown == nullptr) return;
    const int type = structure.GetType();
    std::uint32_t colour = 0;
    engine::MaterialDef* own = FindOwnedMaterial(shown->own);
    if (own != nullptr && structure.GetTint(colour)) {
        own->SetColour(0, colour);
        ApplyMaterial(*shown, type, shown->own.handle);
    } else {
        ApplyMaterial(*shown, type, shown->teamMaterial);
    }
    if (shown->model == nullptr) return;
    if (structure.GetState() == kStructureCaptured) {
        const float s = CapturePopScale(structure.GetPopTimer());
        engine::Matrix44 m = shown->placement;
        m.SetRow(0, m.Row(0).Scale(s));
        m.SetRow(1, m.Row(1).Scale(3.0f * s));
        m.SetRow(2, m.Row(2).Scale(s));
        shown->model->SetLocalMatrix(m);
        shown->popping = true;
    } else if (shown->popping) {
        shown->model->SetLocalMatrix(shown->placement);
        shown->popping = false;
    }
    shown->model->UpdateWorldMatrix();
}

void SceneStructurePresenter::DrawCaptureMarker(Structure& structure) {
    if (structure.GetCaptureNeeded() < 2.0f || structure.GetCaptureProgress() == 0.0f) return;
    const Shown* shown = Find(structure);
    engine::MaterialDef* marker = shown != nullptr ? FindOwnedMaterial(shown->marker) : nullptr;
    engine::RenderQueue* queue = hooks_.renderQueue ? hooks_.renderQueue() : nullptr;
    const int model = hooks_.markerModel ? hooks_.markerModel() : 0;
    if (marker == nullptr || queue == nullptr || model <= 0) return;
    marker->SetColour(0, GetTeamColour(structure.GetCapturingTeam()));
    const double seconds = hooks_.gameSeconds ? hooks_.gameSeconds() : 0.0;
    const engine::Matrix44 placement = CaptureMarkerMatrix(shown->placement.GetTranslation(), seconds);
    queue->GetDrawList(0).AddModel(model, 0, shown->marker.handle, kMarkerDrawFlags, placement, nullptr);
}

}  // namespace game
