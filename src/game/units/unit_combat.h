#pragma once
// The combat rules that depend on where the units stand: each takes both units with a stance (hex and
// airborne state). The unit's own operations pass the units' own stances; the computer player passes the
// stances it plans and its own copy of the map.
#include "game/units/unit.h"

namespace game {

class HexMap;

// Difficulty factors on the damage blue units take in a campaign, by difficulty 0..3.
inline constexpr float kDifficultyFactors[4] = {1.0f, 1.2f, 1.4f, 1.8f};

bool CanAttack(const Unit& attacker, const UnitStance& attackerStance, const Unit& target,
               const UnitStance& targetStance);
float GetDamageMultiplier(const Unit& attacker, const Unit& target, const UnitStance& targetStance);
// One full attack's damage as a share of full health: weaker with the attacker's wounds, never below a fifth.
float DamageAgainst(const Unit& attacker, const Unit& target, const UnitStance& targetStance);
int PredictHealthLossPercent(const Unit& target, const UnitStance& targetStance, const Unit& attacker);
// True when the defender, standing as given, can attack the attacker and has it inside its attack range
// from its stance's hex. Marks the given map only (target marks are left alone) and clears it again.
bool CanCounterAttack(const Unit& defender, const UnitStance& defenderStance, const Unit* attacker,
                      const UnitStance& attackerStance, HexMap& map);

}  // namespace game
