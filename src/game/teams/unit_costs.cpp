#include "game/teams/unit_costs.h"

#include <algorithm>

#include "game/battle/battle_types.h"
#include "game/battle/structure.h"
#include "game/units/unit_tables.h"

namespace game {

int CheapestUnitCostInCategory(int producerType, const std::function<bool(int)>& isUnlocked) {
    int cheapest = kNoUnitCost;
    for (int type = 1; type < kUnitTypeCount; ++type) {
        if (ProducerTypeForUnit(type) != producerType || !isUnlocked(type)) continue;
        cheapest = std::min(cheapest, GetUnitTypeCost(type));
    }
    return cheapest;
}

int CheapestVehicleCost(const std::function<bool(int)>& isUnlocked) {
    return CheapestUnitCostInCategory(kStructureFactory, isUnlocked);
}

int CheapestAircraftCost(const std::function<bool(int)>& isUnlocked) {
    return CheapestUnitCostInCategory(kStructureAirport, isUnlocked);
}

int CheapestShipCost(const std::function<bool(int)>& isUnlocked) {
    return CheapestUnitCostInCategory(kStructureDockyard, isUnlocked);
}

int CheapestInfantryCost(const std::function<bool(int)>& isUnlocked) {
    return CheapestUnitCostInCategory(kStructureBarracks, isUnlocked);
}

}  // namespace game
