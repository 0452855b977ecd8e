#pragma once
// The structure goal (kind 1): values one building for capture or defence by an ENGINEER, claims the nearest
// idle engineer of the side or wishes for one, prepares its route and capture order while planning, and hands
// them over when it runs. Its engineer may take a nearer building instead while enemies are about.
#include <memory>

#include "game/ai/ai_goal.h"
#include "game/battle/hex_coord.h"
#include "game/battle/hex_path.h"
#include "game/units/unit_order.h"

namespace game {

class ComputerPlayer;
class Structure;
class Unit;

class AIStructureGoal final : public AIGoal {
public:
    AIStructureGoal(ComputerPlayer& player, int teamKind, Structure& structure);
    ~AIStructureGoal() override;

    int GetKind() const override { return kGoalStructure; }
    void Score() override;
    void Plan() override;
    int Execute(bool firstStep) override;

    // The planning pass hands over an engineer bought for this goal.
    void AssignUnit(int unitId);
    // Frees the engineer and drops the prepared orders.
    void Release();
    // With armed enemies within 6 steps of the engineer, the nearest building it can capture this very turn:
    // true when it was taken (orders prepared, the building reserved).
    bool PlanNearbyCapture(Unit& engineer);

    Structure& GetStructure() const { return structure_; }
    Structure* GetNearbyTarget() const { return nearbyTarget_; }
    int GetEngineerId() const { return engineerId_; }
    int GetWishCooldown() const { return wishCooldown_; }
    bool HasPathOrder() const { return pathOrder_ != nullptr; }
    bool HasCaptureOrder() const { return captureOrder_ != nullptr; }
    HexCoord GetEndHex() const { return endHex_; }

private:
    // The steps of the route the engineer walks this turn (stopping before a unit when mayPass).
    int CountRouteThisTurn(Unit& engineer, const HexPath& route, bool mayPass);
    // Prepares the path order over the route's first steps, its last hex as the end hex and planned tile.
    void TakeRouteThisTurn(Unit& engineer, const HexPath& route, int counted);
    void ClaimEngineer(Unit& engineer);
    bool OwnedAndUnchallenged(const Structure& structure) const;

    ComputerPlayer& player_;
    int teamKind_;
    int firstOwner_;
    Structure& structure_;
    Structure* nearbyTarget_ = nullptr;
    int engineerId_ = 0;
    HexPath route_;
    int wishCooldown_ = 0;
    std::unique_ptr<UnitOrder> pathOrder_;
    std::unique_ptr<UnitOrder> captureOrder_;
    HexCoord endHex_;
};

}  // namespace game
