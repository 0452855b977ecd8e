#pragma once
// The per-type unit figures that the map rules read: the move allowance, the seven movement costs by kind
// of tile and whether attacks need a clear line of sight.

namespace game {

struct UnitParams {
    float moveAllowance = 0.0f;
    // Chosen by HexMap::GetMoveCost: 0 features, 1 raised features, 2 overlay ground and build pads,
    // 3 land, 4 water, 5 shore, 6 the second land kind. 0 means the type cannot enter.
    float moveCost[7] = {};
    int lineOfSight = 0;
};

}  // namespace game
