#include "game/teams/unit_costs.h"

#include <algorithm>

#include "game/battle/battle_types.h"
#include "game/units/unit_tables.h"

namespace game {

int ProducerTypeForUnit(int unitType) {
    switch (unitType) {
        case UT_TROOPER:
        case UT_ENGINEER:
        case UT_SNIPER:
        case UT_GRENADIER:
        case UT_GRUNT:
        case UT_GENERAL:
        case UT_SUPERSOLDIER:
            return kStructureBarracks;
        case UT_FERRY:
        case UT_SUBMARINE:
        case UT_DESTROYER:
        case UT_CRUISER:
        case UT_AEGIS:
            return kStructureDockyard;
        case UT_SKYHOOK:
        case UT_BOMBER:
        case UT_FIGHTER:
            return kStructureAirport;
        default:
            break;
    }
    // The door is a wall piece of the map: it has a price in the tables but nobody builds it.
    if (unitType < 1 || unitType >= UT_DOOR) return 0;
    return kStructureFactory;
}

int CheapestUnitCostInCategory(int producerType, const std::function<bool(int)>& isUnlocked) {
    int cheapest = kNoUnitCost;
    for (int type = 1; type < kUnitTypeCount; ++type) {
        if (ProducerTypeForUnit(type) != producerType || !isUnlocked(type)) continue;
        cheapest = std::min(cheapest, GetUnitTypeCost(type));
    }
    return cheapest;
}

int CheapestVehicleCost(const std::function<bool(int)>& u) { return CheapestUnitCostInCategory(kStructureFactory, u); }
int CheapestAircraftCost(const std::function<bool(int)>& u) { return CheapestUnitCostInCategory(kStructureAirport, u); }
int CheapestShipCost(const std::function<bool(int)>& u) { return CheapestUnitCostInCategory(kStructureDockyard, u); }
int CheapestInfantryCost(const std::function<bool(int)>& u) { return CheapestUnitCostInCategory(kStructureBarracks, u); }

}  // namespace game
