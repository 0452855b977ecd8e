#pragma once
// The resupply goal (kind 4): a unit short of ammunition or fuel gets a TRUCK beside it (an idle one claimed,
// else one wished for), or goes to a build pad that serves it when that is cheaper. An aircraft lands beside
// its truck and lifts off once served; the supply itself comes with the next turn start or the truck's stop.
#include "game/ai/ai_goal.h"
#include "game/battle/hex_coord.h"

namespace game {

class ComputerPlayer;
class Unit;

class AIResupplyGoal final : public AIGoal {
public:
    AIResupplyGoal(ComputerPlayer& player, const Unit& unit);
    ~AIResupplyGoal() override;

    int GetKind() const override { return kGoalResupply; }
    void Score() override;
    void Plan() override;
    int Execute(bool firstStep) override;

    // The planning pass hands over a truck bought for this goal.
    void AssignSupplier(int unitId);
    void ReleaseSupplier();

    int GetUnitId() const { return unitId_; }
    int GetSupplierId() const { return supplierId_; }
    bool IsPadMode() const { return padMode_; }
    bool WishMade() const { return wishMade_; }
    HexCoord GetMeetingHex() const { return meeting_; }
    // The danger around the unit at the last score.
    float GetDanger() const { return danger_; }

private:
    // Lands (or lifts) the side's aircraft beside the meeting hex; true when any changed.
    bool SetAircraftBesideMeeting(bool airborne);
    bool IsBesideMeeting(HexCoord hex) const;

    ComputerPlayer& player_;
    int unitId_;
    int supplierId_ = 0;
    int teamKind_;
    HexCoord meeting_;
    float danger_ = 0.0f;
    bool padMode_ = false;
    bool wishMade_ = false;
    // This turn's plan sends the aircraft itself towards the meeting hex, with no truck coming to it.
    bool flyingItself_ = false;
};

}  // namespace game
