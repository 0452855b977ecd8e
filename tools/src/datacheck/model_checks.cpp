// The models: every unit type's model (the catalogue's prototype paths) and every structure model, loaded
// through the game's container, model and material readers. Each must hold the parts its class looks up
// (found by the class's own finders), its tint name in exactly one of its materials (a node material, as the
// tint finder reads node materials), every action its class plays with the end mode and length the classes
// wait on, and must fit its footprint, size and triangle budget.
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "datacheck/data_check.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/vertex_packing.h"
#include "engine/scene/animation_set.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_file.h"
#include "engine/scene/model_table.h"
#include "engine/scene/particle_emitter.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/skeleton.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_coord.h"
#include "game/battle/hex_map_file.h"
#include "game/battle/structure_look.h"
#include "game/battle/structure_types.h"
#include "game/core/game_resources.h"
#include "game/core/scene_game_view.h"
#include "game/core/scene_weather_port.h"
#include "game/level/scene_level_presenter.h"
#include "game/level/scene_structure_presenter.h"
#include "game/level/tile_markers.h"
#include "game/screens/result_screens.h"
#include "game/units/unit_catalogue.h"
#include "game/units/unit_class_table.h"
#include "game/units/scene_unit_view_factory.h"
#include "game/level/help_icons.h"
#include "game/level/turn_start_events.h"
#include "levelmodel/level_checks.h"

namespace datacheck {
namespace {

using engine::SceneNode;
using engine::Vec3;

constexpr float kFootprint = 0.45f;  // half of the shop's grid spacing
constexpr float kSlack = 0.001f;
constexpr int kUnitTriangles = 1500;
constexpr int kSoldierTriangles = 900;
constexpr int kStructureTriangles = 2500;
constexpr int kSoldierBones = 16;
constexpr int kSkinnedFormat = 5;  // vertices with bone indices and weight bytes

// An action's expected end and length bounds in seconds (0: not bounded).
struct ActionRule {
    const char* name;
    int end;
    float minSeconds = 0.0f;
    float maxSeconds = 0.0f;
    const char* spawn = nullptr;
};

using engine::kAnimationHold;
using engine::kAnimationLoop;
using engine::kAnimationSpawn;

const ActionRule kAllRules[] = {{"default", kAnimationLoop},
                                {"idle", kAnimationLoop},
                                {"run", kAnimationLoop},
                                {"drive", kAnimationLoop},
                                {"dangle", kAnimationLoop},
                                {"jump", kAnimationHold, 0.5f, 0.9f},
                                {"w00t", kAnimationHold},
                                {"embark", kAnimationHold, 0.3f, 1.0f},
                                {"disembark", kAnimationHold, 0.3f, 1.0f}};
const ActionRule kInfantryRules[] = {{"celebrate", kAnimationLoop},
                                     {"despair", kAnimationLoop},
                                     {"cowerloop", kAnimationLoop},
                                     {"bored1", kAnimationHold},
                                     {"bored2", kAnimationHold},
                                     {"bored3", kAnimationHold},
                                     {"bored4", kAnimationHold},
                                     {"bored5", kAnimationHold},
                                     {"aim", kAnimationHold},
                                     {"hit1", kAnimationHold},
                                     {"hit2", kAnimationHold},
                                     {"hit3", kAnimationHold},
                                     {"die", kAnimationHold, 0.0f, 2.0f},
                                     {"cower", kAnimationSpawn, 0, 0, "cowerloop"}};
const ActionRule kStandingShoot[] = {{"shoot", kAnimationHold}};
const ActionRule kProneRules[] = {{"stoodidle", kAnimationLoop},
                                  {"stand", kAnimationHold},
                                  {"getdown", kAnimationHold},
                                  {"getup", kAnimationSpawn, 0, 0, "run"},
                                  {"shoot", kAnimationSpawn, 0, 0, "idle"}};
const ActionRule kGrenadierRules[] = {{"shoot1", kAnimationHold}, {"shoot2", kAnimationHold}};
const ActionRule kEngineerRules[] = {{"suck", kAnimationLoop}, {"jumpin", kAnimationHold}};

const char* EndName(int end) { return end == kAnimationLoop ? "loop" : end == kAnimationHold ? "hold" : "spawn"; }

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Calls the visitor on every node with its model-space matrix (local matrices multiplied up to the root).
void Walk(SceneNode& node, const engine::Matrix44& parent, bool root,
          const std::function<void(SceneNode&, const engine::Matrix44&)>& visit) {
    engine::Matrix44 world;
    if (root) {
        world.SetIdentity();
    } else {
        engine::Matrix44::Multiply(node.GetLocalMatrix(), parent, world);
    }
    visit(node, world);
    for (int i = 0; i < node.GetChildCount(); ++i) {
        if (SceneNode* child = node.GetChild(i)) Walk(*child, world, false, visit);
    }
}

bool IsMesh(const SceneNode& node) {
    return node.GetType() == engine::kNodeMesh || node.GetType() == engine::kNodeAnimatedMesh;
}

// Every material of the tree: node materials and the batches' own.
std::map<int, bool> Materials(SceneNode& root) {
    std::map<int, bool> materials;  // handle -> is a node material
    Walk(root, {}, true, [&](SceneNode& node, const engine::Matrix44&) {
        if (node.GetMaterial() > 0) materials[node.GetMaterial()] = true;
        if (const engine::Model* model = IsMesh(node) ? node.GetModel() : nullptr) {
            for (int b = 0; b < model->GetBatchCount(); ++b) {
                const int material = model->GetBatch(b)->material;
                if (material > 0 && materials.count(material) == 0) materials[material] = false;
            }
        }
    });
    return materials;
}

bool Inside(const Vec3& p, const Vec3& centre, float slack) {
    // A hex 1 across its flats, corners on the x axis: |z| <= 0.5 and the two slanted sides.
    const float x = std::fabs(p.x - centre.x);
    const float z = std::fabs(p.z - centre.z);
    const float flat = 0.5f + slack;
    return z <= flat && 0.8660254f * x + 0.5f * z <= flat;
}

// The textures a material names, answered from the archive's entries: a handle per name found, 0 (and the
// name kept) for a missing one.
class EntryTextures final : public engine::MaterialTextureSource {
public:
    explicit EntryTextures(const DataCheck& check) : check_(check) {}
    int Load(const engine::WideString& name, int) override { return Find(name.GetNarrow(), false); }
    int LoadCubeMap(const engine::WideString& name) override { return Find(name.GetNarrow(), true); }
    int LoadFlagged(const engine::WideString& name) override { return Find(name.GetNarrow(), false); }
    int MakeCheckTexture(int, int, std::uint32_t, std::uint32_t) override { return 0; }
    int Width(int) const override { return 64; }

private:
    int Find(const std::string& name, bool cube) {
        static const char* const kFaces[] = {"_X", "_NX", "_Y", "_NY", "_Z", "_NZ"};
        for (const std::string& base : {name, "Common/" + name}) {
            for (const char* extension : {".dds", ".png", ".tga"}) {
                if (!cube && check_.Find(base + extension) != nullptr) return ++handles_;
                if (cube && check_.Find(base + kFaces[0] + extension) != nullptr) return ++handles_;
            }
        }
        return 0;
    }
    const DataCheck& check_;
    int handles_ = 0;
};

// The shader sets whose first stage holds the picture they draw: TEXTURE, COLOURD and the terrain sets.
bool NeedsStageTexture(int shaderSet) { return shaderSet >= 1 && shaderSet <= 6; }

// The share of sample points of the hex about the centre that some triangle covers seen from above.
float Coverage(const std::vector<std::array<Vec3, 3>>& triangles, const Vec3& centre) {
    const auto side = [](const Vec3& a, const Vec3& b, float x, float z) {
        return (b.x - a.x) * (z - a.z) - (b.z - a.z) * (x - a.x);
    };
    int inside = 0;
    int covered = 0;
    for (int i = -6; i <= 6; ++i) {
        for (int j = -6; j <= 6; ++j) {
            const Vec3 p{centre.x + 0.09f * static_cast<float>(i), 0, centre.z + 0.08f * static_cast<float>(j)};
            if (!Inside(p, centre, 0.0f)) continue;
            ++inside;
            for (const auto& t : triangles) {
                const float d0 = side(t[0], t[1], p.x, p.z);
                const float d1 = side(t[1], t[2], p.x, p.z);
                const float d2 = side(t[2], t[0], p.x, p.z);
                if ((d0 >= 0 && d1 >= 0 && d2 >= 0) || (d0 <= 0 && d1 <= 0 && d2 <= 0)) {
                    ++covered;
                    break;
                }
            }
        }
    }
    return inside > 0 ? static_cast<float>(covered) / static_cast<float>(inside) : 0.0f;
}

}  // namespace

void DataCheck::CheckModels() {
    EntryTextures textures(*this);
    engine::GetMaterialLib().Init(4096, &textures);
    engine::ModelTable::Init(4096);
    for (const game::UnitDescriptor& row : game::UnitCatalogue()) CheckUnitModel(row.type);
    for (int type = 1; type <= 11; ++type) CheckStructureModel(type);
    CheckEffectModels();
    CheckMarkerModels();
    CheckLevelModels();
    CheckSkinWeights();
    // Every material loaded above draws a picture on every stage its shader set reads.
    engine::MaterialLib& lib = engine::GetMaterialLib();
    for (int handle = 1; handle < lib.Count(); ++handle) {
        const engine::MaterialDef* material = lib.Get(handle);
        if (material == nullptr || !NeedsStageTexture(material->GetShaderSetIndex())) continue;
        if (material->GetName().GetNarrow() == std::string("$$$DebugMat")) continue;  // the library's own
        if (material->GetTexture(0) == 0) {
            Fault(material->GetName().GetNarrow() + std::string(".MTL"), "", "the material's texture is missing");
        }
    }
    engine::ModelTable::Free();
    lib.Free();
}

void DataCheck::CheckSkinWeights() {
    // Every model loaded above that stores bone weights (skinned batches) as read back from the archive: the
    // four weight bytes of each vertex sum to 255, so that a skinned vertex keeps its size in every pose.
    for (int handle = 1; handle < engine::ModelTable::Size(); ++handle) {
        const engine::Model* model = engine::ModelTable::Get(handle);
        if (model == nullptr) continue;
        int wrong = 0;
        std::string first;
        for (int b = 0; b < model->GetBatchCount(); ++b) {
            const engine::MeshBatch& batch = *model->GetBatch(b);
            if (batch.vertexFormat != kSkinnedFormat) continue;
            const std::size_t stride = static_cast<std::size_t>(engine::VertexStreamElementSize(batch.vertexFormat));
            const std::size_t stored = std::min(static_cast<std::size_t>(batch.vertexCount),
                                                batch.vertexData.size() / std::max<std::size_t>(stride, 1));
            for (std::size_t v = 0; v < stored; ++v) {
                engine::VertexSource vertex;
                engine::UnpackVertex(batch.vertexFormat, batch.vertexData.data() + v * stride, vertex);
                int sum = 0;
                for (int i = 0; i < 4; ++i) sum += static_cast<int>((vertex.packedWeights >> (8 * i)) & 0xFF);
                if (sum != 255 && wrong++ == 0) {
                    first = "batch " + std::to_string(b) + " vertex " + std::to_string(v) + " sums to " +
                            std::to_string(sum);
                }
            }
        }
        if (wrong > 0) {
            Fault(model->GetName().GetNarrow() + std::string(".MDL"), "",
                  "skinned vertices whose weights do not sum to 255: " + std::to_string(wrong) + " (the first: " +
                      first + ")");
        }
    }
}

void DataCheck::CheckLevelModels() {
    // Every level folder of the archive (each one that holds a hex map) holds the level model the level loads:
    // picks, clicks from above, lines of sight, scenery and budgets.
    const std::string suffix = Upper(std::string("/") + game::kHexMapFileName);
    for (const auto& [key, entry] : entries_) {
        if (key.size() <= suffix.size() || key.compare(key.size() - suffix.size(), suffix.size(), suffix) != 0) {
            continue;
        }
        const std::string& name = entry.first;
        const std::string folder = name.substr(0, name.size() - suffix.size());
        const std::string file = game::LevelModelPath(folder) + ".CNT";
        if (Find(file) == nullptr) {
            Fault(file, "", "missing, but the level loads it");
            continue;
        }
        for (const levelmodel::LevelFault& fault : levelmodel::CheckLevelFolder(folder)) {
            Fault(file, fault.where, fault.message);
        }
    }
}

void DataCheck::CheckTint(SceneNode& root, const std::string& file, const std::string& tint) {
    const std::string wanted = Lower(tint);
    int matches = 0;
    bool onNode = false;
    for (const auto& [handle, isNode] : Materials(root)) {
        const engine::MaterialDef* material = engine::GetMaterialLib().Get(handle);
        if (material == nullptr) continue;
        if (Lower(material->GetName().GetNarrow()).find(wanted) == std::string::npos) continue;
        ++matches;
        onNode = onNode || isNode;
    }
    if (matches != 1) {
        Fault(file, "",
              "the tint name \"" + tint + "\" is contained in " + std::to_string(matches) +
                  " materials (it must be exactly one)");
    } else if (!onNode || root.FindByMaterialName(tint.c_str()) == nullptr) {
        Fault(file, "", "the tint material \"" + tint + "\" is not a node material");
    }
}

void DataCheck::CheckUnitModel(int type) {
    const game::UnitDescriptor& row = *game::FindUnitDescriptor(type);
    const std::string file = std::string(row.prototypePath) + ".CNT";
    SceneNode* root = engine::LoadSceneContainer(row.prototypePath);
    if (root == nullptr) {
        Fault(file, "", "the unit model does not load");
        return;
    }
    const game::UnitClassRow& cls = game::GetUnitClassRow(type);
    for (const char* part : game::RequiredPartNames(type)) {
        const bool rotor = std::any_of(cls.rotors.begin(), cls.rotors.end(),
                                       [part](const char* r) { return r != nullptr && std::string(r) == part; });
        const engine::WideString name(part);
        if ((rotor ? root->FindDescendantContaining(name) : root->FindDescendant(name)) == nullptr) {
            Fault(file, "", std::string("no part \"") + part + "\"");
        }
    }
    CheckTint(*root, file, row.tintMaterialName);

    // Size and budget: the bind pose without the weapons (mesh children of a bone), which may reach past the
    // footprint to their muzzles.
    Vec3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    int triangles = 0;
    Walk(*root, {}, true, [&](SceneNode& node, const engine::Matrix44& world) {
        const engine::Model* model = IsMesh(node) ? node.GetModel() : nullptr;
        if (model == nullptr) return;
        triangles += model->GetTriangleCount();
        if (node.GetAttachBone() != 0) return;
        for (int t = 0; t < model->GetTriangleCount(); ++t) {
            Vec3 c[3];
            model->GetTriangleCorners(t, c[0], c[1], c[2]);
            for (const Vec3& corner : c) {
                const Vec3 p = world.TransformPoint(corner);
                lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
                hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
            }
        }
    });
    const bool soldier = root->GetType() == engine::kNodeAnimatedMesh;
    if (triangles > kUnitTriangles) Fault(file, "", std::to_string(triangles) + " triangles (at most 1500)");
    if (std::max({-lo.x, hi.x, -lo.z, hi.z}) > kFootprint + kSlack) {
        Fault(file, "", "the model does not fit the 0.9 x 0.9 footprint");
    }
    const bool infantry = cls.animations.size() > 0;
    if (infantry) {
        const engine::Model* model = root->GetModel();
        const engine::Skeleton* skeleton = model != nullptr ? model->skeleton.get() : nullptr;
        if (!soldier || skeleton == nullptr || skeleton->BoneCount() != kSoldierBones) {
            Fault(file, "", "an infantry model is a skinned root with a 16-bone skeleton");
        } else if (model->GetTriangleCount() > kSoldierTriangles) {
            Fault(file, "", "the soldier has more than 900 triangles");
        }
        if (hi.y < 0.6f || hi.y > 0.85f) Fault(file, "", "a soldier stands 0.6 to 0.8 tall");
    }
    CheckUnitActions(*root, file, type);
    CheckUnitAnchors(*root, file, type);
    root->Destroy();
}

void DataCheck::CheckUnitAnchors(SceneNode& root, const std::string& file, int type) {
    // Each effect the class places (muzzle flashes, exhaust, tracers, the engineer's suction) and the rocket
    // launcher's launch frame: its origin within 0.05 of the part's tip (the part's corners furthest along the
    // effect's axis), the axis within 20 degrees of the part's own (from its back end to its tip; a part that
    // is the model itself points along -z).
    const game::UnitClassRow& cls = game::GetUnitClassRow(type);
    struct Anchor {
        const char* part;
        game::MatrixSteps steps;
        const char* what;
        // The part whose tip the effect marks when the steps start from another one (null: the same part).
        const char* tipPart = nullptr;
    };
    std::vector<Anchor> anchors;
    const char* effectPart =
        cls.weapon.part != nullptr ? cls.weapon.part : (cls.turret != nullptr ? cls.turret->barrel : nullptr);
    for (std::size_t i = 0; i < cls.weapon.effects.size(); ++i) {
        if (cls.weapon.effects[i] != nullptr)
            anchors.push_back({effectPart, cls.weapon.effectSteps[i], cls.weapon.effects[i]});
    }
    if (cls.weapon.launch == game::LaunchKind::kRocketSalvo)
        anchors.push_back({cls.weapon.launchPart, cls.weapon.launchSteps, "the launch"});
    // The suction starts from the model itself and draws in at the intake's tip.
    if (cls.suction.effect != nullptr)
        anchors.push_back({nullptr, cls.suction.steps, cls.suction.effect, cls.suction.intake});
    for (const Anchor& anchor : anchors) {
        engine::Matrix44 partWorld;
        std::vector<Vec3> corners;
        const auto find = [&root](const char* name) {
            return name != nullptr ? root.FindDescendant(engine::WideString(name)) : &root;
        };
        SceneNode* part = find(anchor.part);
        const char* tipName = anchor.tipPart != nullptr ? anchor.tipPart : anchor.part;
        SceneNode* tipPart = find(tipName);
        if (part == nullptr || tipPart == nullptr) continue;  // reported as a missing part
        Walk(root, {}, true, [&](SceneNode& node, const engine::Matrix44& world) {
            if (&node == part) partWorld = world;
            bool within = tipName == nullptr;
            for (const SceneNode* up = &node; up != nullptr && !within; up = up->GetParent()) within = up == tipPart;
            const engine::Model* model = IsMesh(node) && within ? node.GetModel() : nullptr;
            for (int t = 0; model != nullptr && t < model->GetTriangleCount(); ++t) {
                Vec3 c[3];
                model->GetTriangleCorners(t, c[0], c[1], c[2]);
                for (const Vec3& corner : c) corners.push_back(world.TransformPoint(corner));
            }
        });
        if (corners.empty()) continue;
        const engine::Matrix44 effect = game::ApplySteps(partWorld, anchor.steps);
        const Vec3 origin = effect.GetTranslation();
        const Vec3 axis = effect.Row(2).NormalisedSafe();
        float furthest = -1e9f, hindmost = 1e9f;
        for (const Vec3& c : corners) {
            furthest = std::max(furthest, c.Dot(axis));
            hindmost = std::min(hindmost, c.Dot(axis));
        }
        float nearest = 1e9f;
        Vec3 tip{}, tail{};
        int tipCount = 0, tailCount = 0;
        for (const Vec3& c : corners) {
            if (c.Dot(axis) <= hindmost + 0.01f) {
                tail = tail + c;
                ++tailCount;
            }
            if (c.Dot(axis) < furthest - 0.01f) continue;
            nearest = std::min(nearest, c.Distance(origin));
            tip = tip + c;
            ++tipCount;
        }
        // The part's own axis runs from the middle of its back end to the middle of its tip.
        const Vec3 own =
            tipName != nullptr
                ? (tip * (1.0f / static_cast<float>(tipCount)) - tail * (1.0f / static_cast<float>(tailCount)))
                      .NormalisedSafe()
                : Vec3{0, 0, -1};
        const std::string what = std::string(anchor.what) + " of " + (tipName != nullptr ? tipName : "the model");
        if (nearest > 0.05f) Fault(file, "", what + " lies " + std::to_string(nearest) + " from the tip");
        if (own.Dot(axis) < std::cos(20.0f / 57.29578f)) Fault(file, "", what + " does not point along the part");
    }
}

void DataCheck::CheckUnitActions(SceneNode& root, const std::string& file, int type) {
    const engine::Model* model = root.GetType() == engine::kNodeAnimatedMesh ? root.GetModel() : nullptr;
    engine::AnimationSet* set =
        model != nullptr && model->skeleton ? model->skeleton->animationSet.get() : root.GetAnimationSet();
    if (set == nullptr) {
        Fault(file, "", "the model has no actions");
        return;
    }
    const game::UnitClassRow& cls = game::GetUnitClassRow(type);
    std::vector<ActionRule> rules(std::begin(kAllRules), std::end(kAllRules));
    if (!cls.animations.empty()) {
        rules.insert(rules.end(), std::begin(kInfantryRules), std::end(kInfantryRules));
        const bool prone = type == game::UT_GRUNT || type == game::UT_SNIPER;
        if (prone) {
            rules.insert(rules.end(), std::begin(kProneRules), std::end(kProneRules));
        } else {
            rules.insert(rules.end(), std::begin(kStandingShoot), std::end(kStandingShoot));
        }
        if (type == game::UT_GRENADIER)
            rules.insert(rules.end(), std::begin(kGrenadierRules), std::end(kGrenadierRules));
        if (type == game::UT_ENGINEER) rules.insert(rules.end(), std::begin(kEngineerRules), std::end(kEngineerRules));
    }
    for (const char* name : cls.animations) {
        if (set->Find(name) == nullptr)
            Fault(file, "", std::string("no action \"") + name + "\", which the class plays");
    }
    for (const ActionRule& rule : rules) {
        engine::AnimationRecord* record = set->Find(rule.name);
        if (record == nullptr) {
            Fault(file, "", std::string("no action \"") + rule.name + "\"");
            continue;
        }
        if (record->endMode != rule.end) {
            Fault(file, "",
                  std::string("the action \"") + rule.name + "\" must " + EndName(rule.end) + ", not " +
                      EndName(record->endMode));
        }
        if (rule.spawn != nullptr &&
            (record->spawnTarget == nullptr || record->spawnTarget->name.GetNarrow() != std::string(rule.spawn))) {
            Fault(file, "", std::string("the action \"") + rule.name + "\" must lead into \"" + rule.spawn + "\"");
        }
        const float length = record->GetLength();
        if ((rule.minSeconds > 0 && length < rule.minSeconds - 0.05f) ||
            (rule.maxSeconds > 0 && length > rule.maxSeconds + 0.05f)) {
            Fault(file, "", std::string("the action \"") + rule.name + "\" lasts " + std::to_string(length) + " s");
        }
    }
}

void DataCheck::CheckEffectModels() {
    // The effects the classes wait on must end within a second; the others that play once within five; the
    // ones the game stops itself keep emitting.
    std::set<std::string> waitedOn;
    for (const game::UnitDescriptor& row : game::UnitCatalogue()) {
        for (const char* effect : game::GetUnitClassRow(row.type).weapon.effects) {
            if (effect != nullptr) waitedOn.insert(effect);
        }
    }
    const std::set<std::string> untilStopped = {"Particles/EngineerSuck", "Particles/tank_track_smoke",
                                                "Particles/ComboFlare", "Particles/Rocket"};
    std::vector<std::string> paths = game::SceneUnitViewFactory::PrototypePaths();
    paths.push_back(game::kIncomeCoinsEffect);
    paths.push_back(game::kHelpIconEffect);
    for (const std::string& path : paths) {
        const bool effect = path.rfind("Particles/", 0) == 0;
        const bool projectile = path.rfind("Projectiles/", 0) == 0;
        if (!effect && !projectile) continue;
        const std::string file = path + ".CNT";
        SceneNode* root = engine::LoadSceneContainer(path.c_str());
        if (root == nullptr) {
            Fault(file, "", "does not load");
            continue;
        }
        if (projectile) {
            // The projectile copies its root's mesh and material.
            if (root->GetType() != engine::kNodeMesh || root->GetModel() == nullptr || root->GetMaterial() == 0) {
                Fault(file, "", "a projectile's root must be a mesh node with its material");
            }
        } else {
            Walk(*root, {}, true, [&](SceneNode& node, const engine::Matrix44&) {
                const engine::ParticleEmitter* emitter = node.GetParticleEmitter();
                if (emitter == nullptr) return;
                const engine::ParticleParams& p = emitter->GetParams();
                const float end = p.emissionDuration + p.particleLife;
                if (p.particleLife <= 0.0f || p.material == 0) {
                    Fault(file, "", "an emitter without particles or sprite material");
                } else if (untilStopped.count(path) != 0) {
                    if (p.emissionDuration < 60.0f) Fault(file, "", "must keep emitting until the game stops it");
                } else if (end > (waitedOn.count(path) != 0 ? 1.0f : 5.0f)) {
                    Fault(file, "", "the effect lasts " + std::to_string(end) + " s");
                }
            });
        }
        root->Destroy();
    }
}

void DataCheck::CheckMarkerModels() {
    for (const char* path : {game::TrophyOf(1), game::TrophyOf(2), game::TrophyOf(3), game::TrophyOf(0),
                             game::kMoveMarkerScene, game::kHelpIconModel}) {
        const std::string file = std::string(path) + ".CNT";
        SceneNode* root = engine::LoadSceneContainer(path);
        if (root == nullptr) {
            Fault(file, "", "does not load");
            continue;
        }
        Vec3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
        Walk(*root, {}, true, [&](SceneNode& node, const engine::Matrix44& world) {
            const engine::Model* model = IsMesh(node) ? node.GetModel() : nullptr;
            for (int t = 0; model != nullptr && t < model->GetTriangleCount(); ++t) {
                Vec3 c[3];
                model->GetTriangleCorners(t, c[0], c[1], c[2]);
                for (const Vec3& corner : c) {
                    const Vec3 p = world.TransformPoint(corner);
                    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
                    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
                }
            }
        });
        const std::string name = path;
        if (name.rfind("Trophies/", 0) == 0 &&
            (std::max({-lo.x, hi.x, -lo.z, hi.z}) > 0.45f + kSlack || hi.y - lo.y > 0.9f + kSlack)) {
            Fault(file, "", "a trophy fits a box of 0.9 centred on the y axis");
        }
        if (name == game::kHelpIconModel &&
            (root->GetType() != engine::kNodeMesh || hi.y - lo.y < 0.5f || hi.y - lo.y > 0.7f)) {
            Fault(file, "", "the help icon is a mesh about 0.6 tall");
        }
        if (name == game::kMoveMarkerScene) {
            engine::AnimationSet* set = root->GetAnimationSet();
            engine::AnimationRecord* record = set != nullptr ? set->Find("default") : nullptr;
            if (record == nullptr || record->endMode != kAnimationHold || record->GetLength() < 0.6f ||
                record->GetLength() > 1.0f + 0.05f) {
                Fault(file, "", "the marker's \"default\" must hold for 0.6 to 1.0 s");
            }
        }
        root->Destroy();
    }
    // The capture marker's spanner, about 0.15 across, and the pictures the game names.
    const std::string spannerFile = std::string(game::kSpannerModel) + ".MDL";
    const int spanner = engine::LoadModel(game::kSpannerModel);
    const engine::Model* model = spanner != 0 ? engine::ModelTable::Get(spanner) : nullptr;
    if (model == nullptr) {
        Fault(spannerFile, "", "does not load");
    } else {
        const engine::Aabb box = model->GetBounds();
        const float across = std::max(box.max.x - box.min.x, box.max.z - box.min.z);
        if (across < 0.1f || across > 0.2f) Fault(spannerFile, "", "the spanner is about 0.15 across");
    }
    EntryTextures textures(*this);
    std::set<std::string> pictures = {game::kCountdownTexture, game::kCraterTexture, game::kCraterNormals,
                                      game::kSnowflakeTexture, game::kShadowTexture};
    for (int kind = 0; kind < game::kTileMarkerKinds; ++kind) pictures.insert(game::TileMarkerTexture(kind));
    for (const std::string& picture : pictures) {
        if (textures.Load(engine::WideString(picture.c_str()), 1) == 0) Fault(picture, "", "the picture is missing");
    }
    if (textures.LoadCubeMap(engine::WideString(game::kSkyCubeMap)) == 0) {
        Fault(std::string(game::kSkyCubeMap) + "_X", "", "the sky is missing");
    }
}

void DataCheck::CheckStructureModel(int type) {
    const std::string path = game::StructureModelPath(type);
    const std::string file = path + ".CNT";
    SceneNode* root = engine::LoadSceneContainer(path.c_str());
    if (root == nullptr) {
        Fault(file, "", "the structure model does not load");
        return;
    }
    const bool three = game::IsThreeHexType(type);
    const std::unique_ptr<game::Structure> structure =
        game::MakeStructure(type, game::MakeHexCoord(4, 4), 1, false, nullptr, nullptr);
    CheckTint(*root, file, structure->GetTeamMaterialName());
    CheckSnow(*root, *structure, file);
    // The model's triangles in its own frame.
    std::vector<std::array<Vec3, 3>> corners;
    Walk(*root, {}, true, [&](SceneNode& node, const engine::Matrix44& world) {
        const engine::Model* model = IsMesh(node) ? node.GetModel() : nullptr;
        for (int t = 0; model != nullptr && t < model->GetTriangleCount(); ++t) {
            std::array<Vec3, 3> c;
            model->GetTriangleCorners(t, c[0], c[1], c[2]);
            for (Vec3& corner : c) corner = world.TransformPoint(corner);
            corners.push_back(c);
        }
    });
    if (static_cast<int>(corners.size()) > kStructureTriangles) {
        Fault(file, "", std::to_string(corners.size()) + " triangles (at most 2500)");
    }
    // Placed on the map as the game places it, both ways for a three-hex building and from an even and an
    // odd column: every corner within its hexes (plus 0.05), and each hex at least 60 % covered from above.
    bool outside = false;
    bool thin = false;
    for (int column : {4, 5}) {
        for (bool mirrored : {false, true}) {
            if (mirrored && !three) continue;
            const game::HexCoord anchor = game::MakeHexCoord(column, 4);
            std::vector<Vec3> hexes;
            for (const game::HexCoord hex :
                 {anchor, game::HexStep(anchor, 3), game::HexStep(anchor, mirrored ? 4 : 2)}) {
                const engine::Vec2 at = game::HexToWorld(hex);
                hexes.push_back({at.x, 0, at.y});
                if (!three) break;
            }
            const engine::Matrix44 place = game::StructureModelMatrix(hexes[0], three, mirrored);
            std::vector<std::array<Vec3, 3>> placed = corners;
            for (auto& c : placed) {
                for (Vec3& corner : c) {
                    corner = place.TransformPoint(corner);
                    outside = outside || std::none_of(hexes.begin(), hexes.end(),
                                                      [&](const Vec3& h) { return Inside(corner, h, 0.05f); });
                }
            }
            for (const Vec3& h : hexes) thin = thin || Coverage(placed, h) < 0.6f;
        }
    }
    if (outside) Fault(file, "", "the model reaches beyond its hexes");
    if (thin) Fault(file, "", "a hex of the structure is less than 60 % covered");
    root->Destroy();
}

void DataCheck::CheckSnow(SceneNode& prototype, game::Structure& structure, const std::string& file) {
    // The structure as the game shows it, a clone under a world node: SetSnow(false) hides every node named
    // "snow" and nothing else, SetSnow(true) shows them all again.
    SceneNode* world = SceneNode::Init(engine::kNodeGroup, "MainWorld");
    if (world == nullptr) return;
    game::StructureSceneHooks hooks;
    hooks.worldNode = [world] { return world; };
    game::SceneStructurePresenter presenter(std::move(hooks));
    presenter.SetStructureModel(structure.GetType(), prototype.Clone(true));
    presenter.OnCreated(structure);
    const game::SceneStructurePresenter::Shown* shown = presenter.Find(structure);
    SceneNode* model = shown != nullptr ? shown->model : nullptr;
    // The nodes named "snow" that draw (they and every node above them active), and the meshes outside them.
    const auto count = [&](int& snowShown, int& snowNodes, int& otherMeshes) {
        snowShown = snowNodes = otherMeshes = 0;
        Walk(*model, {}, true, [&](SceneNode& node, const engine::Matrix44&) {
            bool active = true;
            bool underSnow = false;
            for (const SceneNode* n = &node; n != nullptr && n != world; n = n->GetParent()) {
                active = active && n->IsActive();
                underSnow = underSnow || Lower(n->GetName().GetNarrow()) == "snow";
            }
            if (Lower(node.GetName().GetNarrow()) == "snow") {
                ++snowNodes;
                snowShown += active ? 1 : 0;
            } else if (!underSnow && active && IsMesh(node) && node.GetModel() != nullptr) {
                ++otherMeshes;
            }
        });
    };
    if (model == nullptr) {
        Fault(file, "", "the structures' presenter does not show the model");
    } else {
        int snowShown = 0, snowNodes = 0, otherMeshes = 0;
        presenter.SetSnow(structure, false);
        count(snowShown, snowNodes, otherMeshes);
        if (snowNodes == 0) {
            Fault(file, "", "no \"snow\" node");
        } else {
            if (snowShown != 0) Fault(file, "", "SetSnow(false) leaves a \"snow\" node shown");
            if (otherMeshes == 0) Fault(file, "", "without its snow nothing of the building is shown");
            presenter.SetSnow(structure, true);
            count(snowShown, snowNodes, otherMeshes);
            if (snowShown != snowNodes) Fault(file, "", "SetSnow(true) does not show every \"snow\" node");
        }
    }
    presenter.OnDestroyed(structure);
    world->Destroy();
}

}  // namespace datacheck
