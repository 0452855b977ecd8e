#pragma once
// The transport goal (kind 5): carries one unit to the hex its planner asked for. It claims a SKYHOOK, an
// APC (a soft unit staying in its region) or a FERRY (a unit whose own route crosses water), or wishes for
// one; the carrier goes to meet the passenger, takes it aboard, drives or flies to the nearest free tile of
// the destination's region and sets it down, over as many turns as that takes.
#include "game/ai/ai_goal.h"
#include "game/battle/hex_coord.h"

namespace game {

class ComputerPlayer;
class Unit;

// Stages of a transport.
inline constexpr int kTransportNew = 0;
inline constexpr int kTransportMeeting = 1;
inline constexpr int kTransportAtMeeting = 2;
inline constexpr int kTransportBoarding = 3;
inline constexpr int kTransportCarrying = 4;
inline constexpr int kTransportDropping = 5;

class AITransportGoal final : public AIGoal {
public:
    AITransportGoal(ComputerPlayer& player, const Unit& passenger, HexCoord destination);
    ~AITransportGoal() override;

    int GetKind() const override { return kGoalTransport; }
    void Score() override;
    void Plan() override;
    int Execute(bool firstStep) override;
    int GetReservedCarrierId() const override { return carrierId_; }

    // The planning pass hands over a carrier bought for this goal.
    void ReserveCarrier(int unitId);
    void ReleaseCarrier();
    // The free tile nearest to from where the passenger may be set down; own units on scanned tiles are
    // asked to make way. False when there is none.
    bool FindDropTile(HexCoord from, int carrierType, HexCoord& out);
    // Where the carrier meets the passenger: the passenger's own tile, or for a FERRY the nearest free shore
    // tile of its region. False when there is none.
    bool FindMeetTile(const Unit& passenger, const Unit& carrier, HexCoord& out);

    int GetPassengerId() const { return passengerId_; }
    int GetCarrierId() const { return carrierId_; }
    int GetStage() const { return stage_; }
    void SetStage(int stage) { stage_ = stage; }
    bool IsReady() const { return ready_; }
    bool NeedsAirOrSea() const { return needsAirOrSea_; }
    bool CrossesWater() const { return crossesWater_; }
    bool WishMade() const { return wishMade_; }
    HexCoord GetDropTile() const { return dropTile_; }

private:
    bool IsBesideCarrierEnd(const Unit& carrier, HexCoord hex) const;

    ComputerPlayer& player_;
    int carrierId_ = 0;
    int passengerId_;
    HexCoord destination_;
    HexCoord dropTile_;
    int teamKind_;
    bool needsAirOrSea_ = true;
    bool crossesWater_ = false;
    int stage_ = kTransportNew;
    bool ready_ = false;
    bool wishMade_ = false;
};

}  // namespace game
