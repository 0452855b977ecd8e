#pragma once
// The base of the orders a unit queues: each has a kind, a process-wide id and, once queued, the unit that
// runs it. The unit's tick steps the first queued order until it reports that it is finished.
#include "game/battle/hex_coord.h"

namespace game {

class Unit;

// Order kinds.
enum OrderKind : int {
    kOrderAttack = 0,
    kOrderFollowPath = 1,
    kOrderCaptureStructure = 2,
    kOrderCaptureUnit = 3,
    kOrderPickUp = 4,
    kOrderResupplyNeighbours = 5,
    kOrderEmbark = 6,
    kOrderDisembark = 7,
    kOrderDriveAboard = 8,
    kOrderDriveOff = 9,
    kOrderMove = 10,
    kOrderKill = 11,
};

class UnitOrder {
public:
    // Takes the next id of the process-wide counter (the first order made gets 1); safe on any thread.
    UnitOrder();
    virtual ~UnitOrder() = default;
    UnitOrder(const UnitOrder&) = delete;
    UnitOrder& operator=(const UnitOrder&) = delete;

    // One tick of the order; true when it is finished.
    virtual bool Step(bool first) = 0;
    virtual int Kind() const = 0;
    // The hex the order goes to; false (out unchanged) for orders without one.
    virtual bool GetTargetHex(HexCoord& out) const;

    int GetId() const { return id_; }
    Unit* GetUnit() const { return unit_; }
    // Set by the queue that takes the order.
    void SetUnit(Unit* unit) { unit_ = unit; }

private:
    int id_;
    Unit* unit_ = nullptr;
};

}  // namespace game
