#pragma once
// The shared half of the armed classes' Fire: muzzle effects placed from a part's world matrix and hung in
// the world (which restarts them), the launch of the class's projectiles through the battle's projectile
// manager, and the question whether the effects have died out.
#include <array>

#include "engine/core/matrix.h"
#include "game/units/unit_class_table.h"

namespace game {

class Unit;
class UnitView;

// Effect node handles of a unit, 0 while not made.
using EffectNodes = std::array<int, 2>;

// Makes the missing effects of the row, places each by its steps from the base matrix and hangs it in the
// world. Returns the muzzle point: the first effect's place, or the base matrix's translation.
engine::Vec3 PlaceMuzzleEffects(UnitView& view, const WeaponRow& weapon, const engine::Matrix44& base,
                                EffectNodes& nodes);
// Launches the row's projectiles at the target: a bullet or shell from the muzzle, the rest from the frame
// (the launch steps applied to frameBase); then the row's own sound.
void LaunchWeapon(Unit& attacker, Unit& target, const WeaponRow& weapon, const engine::Vec3& muzzle,
                  const engine::Matrix44& frameBase);
// True when every made effect has finished (one not made yet counts as finished).
bool EffectsFinished(const UnitView& view, const EffectNodes& nodes);

}  // namespace game
