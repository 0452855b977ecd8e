#pragma once
// The goals that move one unit: the unit goal (kind 3) lets an idle fighting unit make its best free move;
// the target goal (kind 6) deploys a unit bought this turn from its pad, or moves an idle non-fighting unit.
#include "game/ai/ai_goal.h"
#include "game/battle/hex_coord.h"
#include "game/units/unit.h"

namespace game {

class BattleContext;
class ComputerPlayer;
class Unit;

// True while the unit runs orders or dies, or a projectile is in flight.
bool IsUnitBusyForGoal(const Unit& unit, ComputerPlayer& player);
// True when the unit stands on a build pad of the given team.
bool StandsOnOwnBuildPad(const BattleContext& battle, const Unit& unit, int teamKind);

class AIUnitGoal final : public AIGoal {
public:
    AIUnitGoal(ComputerPlayer& player, Unit& unit) : player_(player), unitId_(unit.GetId()) {}
    int GetKind() const override { return kGoalUnit; }
    void Score() override { score_ = 0.2f; }
    void Plan() override;
    int Execute(bool firstStep) override;
    int GetUnitId() const { return unitId_; }

private:
    ComputerPlayer& player_;
    int unitId_;
};

class AITargetGoal final : public AIGoal {
public:
    // Holds nothing (unit id 0) when the unit does not exist.
    AITargetGoal(ComputerPlayer& player, int unitId, HexCoord hex);
    int GetKind() const override { return kGoalTarget; }
    void Score() override { score_ = unitId_ != 0 ? 0.1f : 0.0f; }
    void Plan() override;
    int Execute(bool firstStep) override;
    int GetUnitId() const { return unitId_; }

private:
    ComputerPlayer& player_;
    int unitId_ = 0;
    int teamKind_ = 0;
    HexCoord hex_;
};

}  // namespace game
