#pragma once
// The computer player's plan for one of its units: the orders prepared for it on the planning thread (given
// to the unit only when its goal commits them on the main thread), the hex it will stand on at the end of
// the turn, and its standing requests (make way, transport, resupply) and immobilised flag.
#include <array>
#include <memory>

#include "game/battle/hex_coord.h"
#include "game/battle/hex_slot_index.h"
#include "game/units/unit_order.h"

namespace game {

inline constexpr int kMaxPendingOrders = 6;

// The planners' planned tiles by hex: a bit for each planner slot.
using PlannedTileIndex = HexSlotIndex;

class AIUnitPlanner {
public:
    AIUnitPlanner(int unitId, HexCoord hex, bool airborne);
    ~AIUnitPlanner();
    AIUnitPlanner(const AIUnitPlanner&) = delete;
    AIUnitPlanner& operator=(const AIUnitPlanner&) = delete;
    // Keeps the index's bit of the slot on its planned tile from now on (until the planner is deleted).
    void AttachIndex(PlannedTileIndex& index, int slot);

    int GetUnitId() const { return unitId_; }
    HexCoord GetPosition() const { return position_; }
    void SetPosition(HexCoord hex) { position_ = hex; }
    bool WasAirborne() const { return airborne_; }

    // Appends an order; false (the order dropped) when six are already pending.
    bool AddPendingOrder(std::unique_ptr<UnitOrder> order);
    void ClearPendingOrders();
    int GetPendingCount() const { return pendingCount_; }
    const UnitOrder* GetPendingOrder(int i) const;
    // Hands the pending orders over in order; the planner holds none afterwards.
    std::array<std::unique_ptr<UnitOrder>, kMaxPendingOrders> TakePendingOrders();

    // True and the planned tile when one is set.
    bool GetTarget(HexCoord& out) const;
    void SetPlannedTile(HexCoord tile);
    // Clears the planned tile and the make-way request.
    void ClearPlannedTile();

    bool IsMakingWay() const { return makeWay_; }
    void RequestMakeWay() { makeWay_ = true; }
    bool IsImmobilized() const { return immobilized_; }
    void SetImmobilized(bool immobilized) { immobilized_ = immobilized; }

    bool WantsTransport() const { return wantsTransport_; }
    void SetWantsTransport(bool wants, HexCoord destination);
    HexCoord GetTransportDestination() const { return transportDestination_; }
    int GetTransportGoalId() const { return transportGoalId_; }
    void SetTransportGoalId(int id) { transportGoalId_ = id; }
    int GetResupplyGoalId() const { return resupplyGoalId_; }
    void SetResupplyGoalId(int id) { resupplyGoalId_ = id; }
    // True when RequestTransport counted this unit's request against the transport cap (a carried unit).
    bool HoldsTransportReservation() const { return transportReserved_; }
    void SetTransportReservation(bool reserved) { transportReserved_ = reserved; }

private:
    HexCoord position_;
    int unitId_;
    bool airborne_;
    int pendingCount_ = 0;
    std::array<std::unique_ptr<UnitOrder>, kMaxPendingOrders> pending_;
    int resupplyGoalId_ = 0;
    int transportGoalId_ = 0;
    bool hasPlannedTile_ = false;
    HexCoord plannedTile_;
    bool makeWay_ = false;
    bool wantsTransport_ = false;
    bool transportReserved_ = false;
    bool immobilized_ = false;
    HexCoord transportDestination_;
    PlannedTileIndex* index_ = nullptr;
    int indexSlot_ = -1;
};

}  // namespace game
