#include "game/units/truck_unit.h"

#include "game/battle/battle_context.h"

namespace game {

bool TruckUnit::AfterMove() {
    for (int direction = 0; direction < kDirectionCount; ++direction) {
        HexCoord neighbour;
        if (!HexNeighbour(hex_, direction, neighbour)) continue;
        if (CanResupply(Battle().FindUnitAt(neighbour))) return true;
    }
    return false;
}

bool TruckUnit::CanResupply(const Unit* unit) const {
    return unit != nullptr && unit->GetTeamKind() == GetTeamKind() && !unit->IsAirborne() &&
           unit->NeedsResupply(1.0f, false);
}

}  // namespace game
