#include "game/level/help_icons.h"

#include "engine/core/matrix.h"
#include "engine/scene/scene_container.h"
#include "engine/scene/scene_node.h"
#include "game/battle/battle_context.h"
#include "game/battle/hex_map.h"
#include "game/level/level.h"
#include "game/level/level_services.h"

namespace game {
namespace {


struct SharedModels {
    engine::SceneNode* icon = nullptr;  // owned
    engine::SceneNode* world = nullptr;
};

SharedModels& Shared() {
    static SharedModels models;
    return models;
}

}  // namespace

bool HelpIcons::LoadModels(engine::SceneNode* world) {
    SetModels(engine::LoadSceneContainer(kHelpIconModel), world);
    return Shared().icon != nullptr;
}

void HelpIcons::SetModels(engine::SceneNode* iconPrototype, engine::SceneNode* world) {
    FreeModels();
    Shared().icon = iconPrototype;
    Shared().world = world;
}

void HelpIcons::FreeModels() {
    if (Shared().icon != nullptr) Shared().icon->Destroy();
    Shared() = {};
}

void HelpIcons::Destroy() {
    for (HelpIconEntry& entry : entries_) {
        if (entry.model != nullptr) entry.model->Destroy();
        entry = HelpIconEntry{};
    }
}

void HelpIcons::Add(HexCoord hex, const std::string& key, float bannerSeconds) {
    if (!IsValidHex(hex)) return;
    for (HelpIconEntry& entry : entries_) {
        if (entry.model != nullptr) continue;
        const SharedModels& shared = Shared();
        if (shared.icon == nullptr || shared.world == nullptr) return;
        engine::SceneNode* clone = shared.icon->Clone(true);
        if (clone == nullptr) return;
        if (!shared.world->AddChild(clone)) {
            clone->Destroy();
            return;
        }
        engine::Vec3 at;
        level_.GetHexMap().GetSurfacePoint(at, hex);
        clone->LocalMatrix().SetRow(3, at);
        clone->UpdateWorldMatrix();
        entry.model = clone;
        entry.key = key;
        entry.text = level_.Battle().GetText(key.c_str());
        entry.hex = hex;
        entry.bannerSeconds = bannerSeconds;
        return;
    }
}

bool HelpIcons::HasIconAt(HexCoord hex) const {
    for (const HelpIconEntry& entry : entries_) {
        if (entry.model != nullptr && entry.hex == hex) return true;
    }
    return false;
}

bool HelpIcons::CollectByModel(const engine::SceneNode* node) {
    // A pick hits a part of the model: walk up to the clone itself.
    for (const engine::SceneNode* n = node; n != nullptr; n = n->GetParent()) {
        for (HelpIconEntry& entry : entries_) {
            if (entry.model == nullptr || entry.model != n) continue;
            Collect(entry);
            return true;
        }
    }
    return false;
}

bool HelpIcons::CollectAtHex(HexCoord hex) {
    for (HelpIconEntry& entry : entries_) {
        if (entry.model == nullptr || entry.hex != hex) continue;
        Collect(entry);
        return true;
    }
    return false;
}

void HelpIcons::Collect(HelpIconEntry& entry) {
    LevelServices& services = level_.Services();
    engine::Matrix44 burst = entry.model->GetLocalMatrix();
    burst.RotateXLocal(90.0f);
    services.AddEffect(kHelpIconEffect, burst);
    services.LookAtHex(entry.hex);
    services.ShowBanner(entry.text, entry.bannerSeconds);
    entry.model->Destroy();
    entry = HelpIconEntry{};
    services.PlayLevelSound(kHelpIconSound);
}

}  // namespace game
