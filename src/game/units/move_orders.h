#pragma once
// The orders that move and fight: walking to a hex, walking a given route, and attacking a unit with the
// target's answer.
#include "game/battle/hex_path.h"
#include "game/units/unit_order.h"

namespace game {

// Finds a route to the destination on its first step (after flooding the unit's movement) and walks it;
// without a route it ends at once. On arrival a supplying unit resupplies its neighbours, and a unit short
// of supplies is refilled by a neighbouring supplier.
class MoveOrder final : public UnitOrder {
public:
    explicit MoveOrder(HexCoord destination) : destination_(destination) {}
    bool Step(bool first) override;
    int Kind() const override { return kOrderMove; }
    bool GetTargetHex(HexCoord& out) const override;

private:
    HexPath route_;
    HexCoord destination_;
};

// Walks a ready route (after marking the movement range), ending as a move does.
class FollowPathOrder final : public UnitOrder {
public:
    explicit FollowPathOrder(const HexPath& route) : route_(route) {}
    bool Step(bool first) override;
    int Kind() const override { return kOrderFollowPath; }
    const HexPath& GetRoute() const { return route_; }

private:
    HexPath route_;
};

// Aims, pauses, fires, waits for the shots, lets the target answer unless this is an answer itself, pauses
// again and spends one ammunition. The battle zoom it starts is always ended, also when the order is
// dropped early.
class AttackOrder final : public UnitOrder {
public:
    AttackOrder(int targetUnitId, bool noRetaliation) : targetId_(targetUnitId), noRetaliation_(noRetaliation) {}
    ~AttackOrder() override;
    bool Step(bool first) override;
    int Kind() const override { return kOrderAttack; }
    int GetState() const { return state_; }
    int GetTargetId() const { return targetId_; }

private:
    void EndZoom();

    int targetId_;
    int state_ = 0;
    float timer_ = 0.0f;
    bool noRetaliation_;
    bool zoomed_ = false;
};

// The end of a walk shared by the moves: supplies, then the track smoke stops.
void FinishMove(Unit& unit);

}  // namespace game
