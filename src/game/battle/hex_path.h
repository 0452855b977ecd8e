#pragma once
// A route of hex directions, as found by the route search and walked by a unit.
#include <array>
#include <cstdint>

#include "game/battle/hex_coord.h"

namespace game {

inline constexpr int kMaxPathSteps = 127;

struct HexPath {
    HexCoord start;
    std::int32_t count = 0;  // number of steps
    std::int32_t stepIndex = 0;  // the walking unit's current step; the search leaves it alone
    std::int32_t directions[kMaxPathSteps + 1] = {};
    float cost = 0.0f;  // total cost found by the search; 0 for a route of no steps
};

// The hexes of a route: its start, then each hex reached.
struct HexList {
    int count = 0;
    std::array<HexCoord, kMaxPathSteps + 1> hexes{};
};

}  // namespace game
