#include "game/units/unit_weapons.h"

#include "game/units/projectile_manager.h"
#include "game/units/unit.h"
#include "game/units/unit_services.h"
#include "game/units/unit_view.h"

namespace game {

engine::Vec3 PlaceMuzzleEffects(UnitView& view, const WeaponRow& weapon, const engine::Matrix44& base,
                                EffectNodes& nodes) {
    engine::Vec3 muzzle = base.GetTranslation();
    bool first = true;
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (weapon.effects[i] == nullptr) continue;
        if (nodes[i] == 0) nodes[i] = view.CreateEffectNode(weapon.effects[i]);
        const engine::Matrix44 placed = ApplySteps(base, weapon.effectSteps[i]);
        if (first) muzzle = placed.GetTranslation();
        first = false;
        if (nodes[i] != 0) view.HangEffectInWorld(nodes[i], placed);
    }
    return muzzle;
}

void LaunchWeapon(Unit& attacker, Unit& target, const WeaponRow& weapon, const engine::Vec3& muzzle,
                  const engine::Matrix44& frameBase) {
    ProjectileManager* projectiles = attacker.Services().GetProjectiles();
    if (projectiles != nullptr) {
        const engine::Matrix44 frame = ApplySteps(frameBase, weapon.launchSteps);
        switch (weapon.launch) {
            case LaunchKind::kBullet: projectiles->LaunchBullet(muzzle, attacker, target); break;
            case LaunchKind::kShell: projectiles->LaunchShell(muzzle, attacker, target, weapon.launchValue); break;
            case LaunchKind::kGrenade: projectiles->LaunchGrenade(weapon.launchValue, frame, attacker, target); break;
            case LaunchKind::kMortar: projectiles->LaunchMortar(weapon.launchValue, frame, attacker, target); break;
            case LaunchKind::kBurst: projectiles->LaunchBurst(attacker, target); break;
            case LaunchKind::kRocketSalvo: projectiles->LaunchRocketSalvo(frame, target, attacker); break;
            case LaunchKind::kLobbedRocket:
                projectiles->LaunchLobbedRocket(weapon.launchValue, frame, attacker, target);
                break;
            case LaunchKind::kFireBarrage: projectiles->LaunchFireBarrage(frame, target, attacker); break;
            case LaunchKind::kNone: break;
        }
    }
    if (weapon.sound != 0) attacker.Services().PlayLevelSound(weapon.sound);
}

bool EffectsFinished(const UnitView& view, const EffectNodes& nodes) {
    for (int node : nodes) {
        if (node != 0 && !view.IsEffectFinished(node)) return false;
    }
    return true;
}

}  // namespace game
