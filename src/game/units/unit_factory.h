#pragma once
// The only way units come into being.
#include <memory>

#include "game/units/unit.h"

namespace game {

class BattleContext;
class UnitTeam;

// Makes the class of the type (an unknown type makes a LIGHT_TANK) for the side, gives it the id (a fresh
// one from the battle when 0), full fuel and ammunition and its turn's movement. With its model the unit
// also gets the side's tint and its first animation; a logic-only unit touches neither the scene nor
// random stream 0. Holds one process-wide lock throughout, so units may be made on the computer player's
// worker while the main thread makes others. The caller inserts the unit into its side and places it.
std::unique_ptr<Unit> CreateUnit(BattleContext& battle, int unitType, UnitTeam* team, int id,
                                 Unit::Presentation presentation = Unit::Presentation::kWithModel);

}  // namespace game
