#pragma once
// The figures of one unit type, as the unit tables read them from "Units/BasicParams": movement, the seven
// movement costs by kind of tile, attack range, fuel, ammunition, price, walking speed and the shop's
// ratings. The map reads the movement costs and the line-of-sight flag.

namespace game {

struct UnitParams {
    float moveAllowance = 0.0f;  // movement points per turn
    // Chosen by HexMap::GetMoveCost: 0 features, 1 raised features, 2 overlay ground and build pads,
    // 3 land, 4 water, 5 shore, 6 the second land kind. 0 means the type cannot enter.
    float moveCost[7] = {};
    int minRange = 0;  // attack distances in hexes
    int maxRange = 0;
    int lineOfSight = 0;  // 1 when attacks need a clear line of sight
    float fuelCapacity = 0.0f;  // 0: the type uses no fuel
    int ammoCapacity = 0;  // 0: unlimited
    int cost = 0;  // purchase price
    int stepTicks = 0;  // ticks one hex step takes
    // Shop ratings: rating icons against infantry, vehicles, airborne units and ships.
    int vsInfantry = 0;
    int vsVehicles = 0;
    int vsAirborne = 0;
    int vsShips = 0;
};

}  // namespace game
