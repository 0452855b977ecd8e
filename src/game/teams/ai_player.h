#pragma once
// What a team asks of its computer player. The computer player itself comes later; the game uses a null one
// meanwhile (no planners, no planned tiles, no planned damage).
#include <vector>

#include "game/battle/hex_coord.h"

namespace game {

class AIPlayer {
public:
    virtual ~AIPlayer() = default;

    // The side's turn starts: funds arrive and planning begins.
    virtual void StartTurn() = 0;
    // The per-tick driver while the side has the turn.
    virtual void Update() = 0;
    virtual void AddUnitPlanner(int unitId) = 0;
    // Drops the unit's planner before the unit is deleted.
    virtual void RemoveUnit(int unitId) = 0;
    virtual void SetUnitImmobilized(int unitId, bool immobilized) = 0;
    virtual bool IsUnitImmobilized(int unitId) const = 0;
    // The id of the unit whose planned target is the hex (airborne layer or not), 0 when none.
    virtual int FindUnitTargetingTile(HexCoord hex, bool airborne) const = 0;
    // Appends every tile FindUnitTargetingTile may answer for and returns true; false when it cannot tell.
    virtual bool ListTargetedTiles(std::vector<HexCoord>& /*out*/) const { return false; }
    // True when the unit has a tile planned to move to.
    virtual bool GetUnitPlannedTile(int unitId, HexCoord& out) const = 0;
    // The damage already planned against the unit this turn.
    virtual float GetPlannedDamage(int unitId) const = 0;
    // Cancels a running plan and waits for the planning thread to end.
    virtual void StopPlanning() = 0;
    // True once planning is done and every planned task has been carried out: the side's turn ends.
    virtual bool IsTurnOver() const { return false; }
};

}  // namespace game
