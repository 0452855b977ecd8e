#include "game/level/decorations.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/scene_node.h"

namespace game {
namespace {

// Full node names that make a node scenery, compared exactly.
constexpr const char* kSceneryNames[] = {
    "Tree1/Tree1",       "Tree2/Tree2",       "Tree3/Tree3",       "Crystal1/Crystal1", "Crystal2/Crystal2",
    "Crystal3/Crystal3", "Palm1/Palm1",       "Palm2/Palm2",       "Palm3/Palm3",       "Palm4/Palm4",
    "Palm5/Palm5",       "Cactus1/Cactus1",   "Cactus2/Cactus2",   "Cactus3/Cactus3",
};

constexpr float kTinyLength = 1.1920929e-7f;
constexpr std::uint32_t kFadeMaterialFlag = 0x40;

bool IsSceneryName(const char* name) {
    for (const char* scenery : kSceneryNames) {
        if (std::strcmp(name, scenery) == 0) return true;
    }
    return false;
}

class SceneryWalk final : public engine::NodeVisitor {
public:
    SceneryWalk(std::array<DecorationEntry, kMaxDecorations>& entries, int& count)
        : entries_(entries), count_(count) {}

    int Visit(engine::SceneNode* node, void*) override {
        if (count_ >= kMaxDecorations) return 0;
        if (!IsSceneryName(node->GetName().GetNarrow())) return 1;
        const int copy = engine::GetMaterialLib().CloneMaterialByIndex(node->GetMaterial());
        // Without a copy there is nothing to fade with: the node keeps its own material for good.
        if (copy == 0) return 1;
        DecorationEntry& entry = entries_[static_cast<std::size_t>(count_++)];
        engine::Aabb box;
        if (!node->GetBounds(box)) box = {};
        const engine::Vec3 middle = box.min.Add(box.max).Scale(0.5f);
        entry.node = node;
        entry.baseMaterial = node->GetMaterial();
        entry.fadeMaterial = copy;
        entry.centre = node->GetWorldMatrix().TransformPoint(middle);
        entry.radius = box.max.Sub(box.min).Length() * 0.5f;
        return 1;
    }

private:
    std::array<DecorationEntry, kMaxDecorations>& entries_;
    int& count_;
};

}  // namespace

void Decorations::Collect(engine::SceneNode* modelRoot) {
    Clear();
    if (modelRoot == nullptr) return;
    SceneryWalk walk(entries_, count_);
    modelRoot->Accept(walk, nullptr);
}

void Decorations::Clear() {
    // The copies belong to the level's resource group and go with it.
    RestoreMaterials();
    entries_.fill(DecorationEntry{});
    count_ = 0;
}

void Decorations::SetFocus(const engine::Vec3& focus, float radius) {
    focus_ = focus;
    radius_ = radius;
    active_ = true;
}

float Decorations::GetFade(const engine::Matrix44& camera, const engine::Cone& cone, const engine::Vec3& focus,
                           const engine::Vec3& centre, float radius) {
    const engine::Vec3 eye = camera.GetTranslation();
    const engine::Vec2 toEntry(centre.x - eye.x, centre.z - eye.z);
    const engine::Vec2 toFocus(focus.x - eye.x, focus.z - eye.z);
    // Beyond the focus nothing is in the way.
    if (toFocus.LengthSquared() < toEntry.LengthSquared()) return 1.0f;
    if (!cone.OverlapsSphere(centre, radius)) return 1.0f;
    const float t = -camera.Row(2).y;
    return std::clamp(t * t * t, 0.0f, 1.0f) * 0.5f + 0.5f;
}

void Decorations::Update(const engine::Matrix44& camera) {
    if (!active_) return;
    const engine::Vec3 eye = camera.GetTranslation();
    const engine::Vec3 toFocus = focus_.Sub(eye);
    const float distance = toFocus.Length();
    engine::MaterialLib& lib = engine::GetMaterialLib();
    // A camera standing on its focus has no direction to look along: nothing fades this frame.
    const bool noCone = !(distance >= kTinyLength);
    engine::Cone cone;
    if (!noCone) {
        engine::Matrix44 basis;
        basis.InitBasisFromDirection(engine::kAxisY, toFocus.Scale(1.0f / distance));
        basis.SetRow(3, eye);
        cone.Init(std::atan2(radius_, distance) * 57.29578f, distance, basis);
    }
    for (int i = 0; i < count_; ++i) {
        DecorationEntry& entry = entries_[static_cast<std::size_t>(i)];
        const float fade = noCone ? 1.0f : GetFade(camera, cone, focus_, entry.centre, entry.radius);
        if (fade >= 1.0f || fade < 0.0f) {
            entry.node->SetMaterial(entry.baseMaterial);
            continue;
        }
        engine::MaterialDef* base = lib.Get(entry.baseMaterial);
        engine::MaterialDef* copy = lib.Get(entry.fadeMaterial);
        if (base == nullptr || copy == nullptr) continue;
        engine::ColourF colour = base->GetColourF(0);
        colour.a = fade;
        copy->SetColourF(0, colour);
        copy->SetBlendMode(3);
        copy->SetAlphaTestMode(2);
        copy->SetFlags(copy->GetFlags() | kFadeMaterialFlag);
        entry.node->SetMaterial(entry.fadeMaterial);
    }
}

void Decorations::RestoreMaterials() {
    active_ = false;
    for (int i = 0; i < count_; ++i) {
        DecorationEntry& entry = entries_[static_cast<std::size_t>(i)];
        entry.node->SetMaterial(entry.baseMaterial);
    }
}

}  // namespace game
