#pragma once
// The tiles on which the battle's unit lookups may find a unit, asked once for a fill that looks up many
// tiles: a tile it leaves unflagged holds none and needs no lookup.
#include <array>
#include <vector>

#include "game/battle/battle_context.h"
#include "game/battle/hex_coord.h"

namespace game {

class UnitTileFlags {
public:
    // Every tile flagged when there is no battle or it cannot tell.
    explicit UnitTileFlags(const BattleContext* context) {
        std::vector<HexCoord> hexes;
        hexes.reserve(256);
        if (context == nullptr || !context->ListUnitHexes(hexes)) return;
        all_ = false;
        for (const HexCoord hex : hexes) {
            if (IsValidHex(hex)) flags_[static_cast<std::size_t>(HexTileIndex(hex))] = true;
        }
    }
    // By the tile's index (a valid hex).
    bool MayHoldUnit(int tileIndex) const { return all_ || flags_[static_cast<std::size_t>(tileIndex)]; }

private:
    std::array<bool, kMapTileCount> flags_{};
    bool all_ = true;
};

}  // namespace game
