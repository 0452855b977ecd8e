#pragma once
// The running battle as the map sees it: units, teams, structures, unit figures, the computer player's
// holds and the level model's triangle test. The level sets one on its map; a map without one answers as
// when no battle runs.
#include <span>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "game/battle/hex_coord.h"

namespace game {

class Unit;
class Structure;
struct UnitParams;

class BattleContext {
public:
    virtual ~BattleContext() = default;

    // A unit on the hex, the grounded one first; null when none.
    virtual Unit* FindUnitAt(HexCoord hex) const = 0;
    // The airborne unit on the hex, or null.
    virtual Unit* FindAirUnitAt(HexCoord hex) const = 0;
    // Kind of the team whose turn it is, or -1 outside a turn.
    virtual int GetCurrentTeamKind() const = 0;
    // kControlNone, kControlHuman or kControlComputer for the team of that kind (none when it does not play).
    virtual int GetTeamControl(int teamKind) const = 0;
    // The live units of the team of that kind.
    virtual std::span<Unit* const> GetTeamUnits(int teamKind) const = 0;
    virtual void ClearTargetMarks() = 0;
    virtual int CountTargetMarkedUnits() const = 0;

    // The structure occupying the hex, or null.
    virtual Structure* FindStructureAt(HexCoord hex) const = 0;
    virtual void ClearStructureMarks() = 0;

    // The figures of a unit type 1..24, or null.
    virtual const UnitParams* GetUnitParams(int unitType) const = 0;
    // True when the unit's computer player holds it where it stands.
    virtual bool IsHeldImmobile(const Unit& unit) const = 0;

    // True when the oriented box (axes and centre in the rows of the matrix, half sizes along them) holds
    // a triangle of the level model.
    virtual bool BoxTouchesLevel(const engine::Matrix44& box, const engine::Vec3& halfSize) const = 0;
};

}  // namespace game
