#pragma once
// The side a unit belongs to, as far as the unit asks it: its kind, its colour, its cash and handing the
// unit over to another side. The team class implements it.
#include <cstdint>

#include "game/battle/hex_coord.h"

namespace game {

class Unit;

class UnitTeam {
public:
    virtual ~UnitTeam() = default;

    // 0 neutral, 1 blue, 2 green, 3 yellow, 4 enemy.
    virtual int GetKind() const = 0;
    // The side's colour, ARGB.
    virtual std::uint32_t GetColour() const = 0;
    // Adds to the cash; the amount may be negative.
    virtual void AddCash(int amount) = 0;
    // Counts a kill of one of the side's units.
    virtual void AddKill() = 0;
    // Moves the unit from this side to the side of that kind; nothing changes when that side is missing
    // or full.
    virtual void TransferUnit(Unit& unit, int teamKind) = 0;
    // The unit's hex changed from the one given (it may not be one of the side's units yet).
    virtual void OnUnitHexChanged(const Unit& unit, HexCoord from) {
        (void)unit;
        (void)from;
    }
};

}  // namespace game
