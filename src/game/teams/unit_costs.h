#pragma once
// The cheapest unit a building can make on the level (the producer of a type is ProducerTypeForUnit).
#include <functional>

#include "game/battle/structure.h"

namespace game {

// The smallest cost among the unit types 1..24 made by that structure type and unlocked on the level;
// kNoUnitCost when there is none.
inline constexpr int kNoUnitCost = 1000000000;
int CheapestUnitCostInCategory(int producerType, const std::function<bool(int)>& isUnlocked);
int CheapestVehicleCost(const std::function<bool(int)>& isUnlocked);
int CheapestAircraftCost(const std::function<bool(int)>& isUnlocked);
int CheapestShipCost(const std::function<bool(int)>& isUnlocked);
int CheapestInfantryCost(const std::function<bool(int)>& isUnlocked);

}  // namespace game
