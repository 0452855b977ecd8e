#pragma once
// Which building produces a unit type, and the cheapest unit a building can make on the level.
#include <functional>

namespace game {

// 5 Barracks for infantry, 4 Dockyard for ships, 3 Airport for aircraft, 2 Factory for the other vehicles;
// 0 for type 0, types outside 1..24 and the DOOR, which no shop sells.
int ProducerTypeForUnit(int unitType);

// The smallest cost among the unit types 1..24 made by that structure type and unlocked on the level;
// kNoUnitCost when there is none.
inline constexpr int kNoUnitCost = 1000000000;
int CheapestUnitCostInCategory(int producerType, const std::function<bool(int)>& isUnlocked);
int CheapestVehicleCost(const std::function<bool(int)>& isUnlocked);
int CheapestAircraftCost(const std::function<bool(int)>& isUnlocked);
int CheapestShipCost(const std::function<bool(int)>& isUnlocked);
int CheapestInfantryCost(const std::function<bool(int)>& isUnlocked);

}  // namespace game
