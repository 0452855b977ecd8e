#pragma once
// What the map's fills and the route search ask of a unit on the battle map. The unit base class
// (game/units/unit.h) implements it; the map never owns units.
#include "game/battle/hex_coord.h"

namespace game {

class MapUnit {
public:
    virtual ~MapUnit() = default;

    virtual int GetType() const = 0;  // 1..24
    virtual HexCoord GetHexPos() const = 0;
    virtual int GetTeamKind() const = 0;
    // Airborne now, or carried by an airborne unit.
    virtual bool IsAirborne() const = 0;
    virtual MapUnit* GetPassenger() const = 0;
    virtual MapUnit* GetCarrier() const = 0;

    virtual bool CanStillMove() const = 0;
    virtual bool CanStillAct() const = 0;
    virtual bool CanCarryType(int unitType) const = 0;
    virtual float GetMovementLeft() const = 0;
    virtual bool CanAttack(const MapUnit& target) const = 0;
    // Attack distances in whole steps.
    virtual void GetAttackRange(int& minimum, int& maximum) const = 0;
    virtual bool IsCarrier() const = 0;
    virtual bool IsDoor() const = 0;
    // True when the two units are different and share an altitude layer (both grounded or both airborne).
    virtual bool IsInSameLayer(const MapUnit& other) const = 0;
    // True when the unit's own airborne state equals the argument.
    virtual bool IsAtAltitude(bool airborne) const = 0;
    virtual bool IsArmed() const = 0;
    // A carrier without passenger that can take the other unit on its hex.
    virtual bool CanLoadUnitOnHex() const = 0;
    virtual void SetTargetMark(bool marked, const MapUnit* attacker) = 0;
};

}  // namespace game
