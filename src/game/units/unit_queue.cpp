// The unit's order queue and its states.
#include "game/battle/battle_context.h"
#include "game/units/unit.h"
#include "game/units/unit_services.h"

namespace game {

UnitOrder* Unit::QueueOrder(std::unique_ptr<UnitOrder> order) {
    return SetOrderAt(std::move(order), orderCount_);
}

UnitOrder* Unit::SetOrderAt(std::unique_ptr<UnitOrder> order, int index) {
    // A refused order is destroyed on return.
    if (!order || index < 0 || index >= kMaxQueuedOrders || index > orderCount_) return nullptr;
    // Only a placed, living unit takes orders: state 2 would revive a dying unit (whose death then never
    // ends) or put an unplaced one into the hex lookups.
    if (state_ != kUnitIdle && state_ != kUnitRunningOrders) return nullptr;
    order->SetUnit(this);
    UnitOrder* placed = order.get();
    orders_[static_cast<std::size_t>(index)] = std::move(order);
    if (index == orderCount_) ++orderCount_;
    state_ = kUnitRunningOrders;
    return placed;
}

void Unit::DeleteOrders() {
    // A walk ended before its last hex ends its engine or footstep loop too.
    if (moveLoopSound_ != 0) {
        Services().StopLoopSound(moveLoopSound_, 0.5f);
        moveLoopSound_ = 0;
    }
    for (auto& order : orders_) order.reset();
    orderCount_ = 0;
    lastSteppedOrderId_ = 0;
}

void Unit::CancelOrders() {
    DeleteOrders();
    SetState(kUnitIdle);
}

UnitOrder* Unit::FindLastMoveOrder(int before, int& index) const {
    const int last = before < orderCount_ ? before : orderCount_;
    for (int i = last - 1; i >= 0; --i) {
        UnitOrder* order = orders_[static_cast<std::size_t>(i)].get();
        if (order != nullptr && order->Kind() == kOrderMove) {
            index = i;
            return order;
        }
    }
    return nullptr;
}

UnitOrder* Unit::GetOrder(int index) const {
    return index >= 0 && index < orderCount_ ? orders_[static_cast<std::size_t>(index)].get() : nullptr;
}

void Unit::SetState(int state) {
    state_ = state;
    if (state == kUnitIdle) {
        DeleteOrders();
    } else if (state == kUnitRunningOrders && orderCount_ == 0) {
        state_ = kUnitIdle;
    }
}

bool Unit::IsBusy() {
    if ((battle_.GetOptionBits() & kOptionInstantMove) != 0 || battle_.IsFastForward()) waitTimer_ = 0.0f;
    return waitTimer_ != 0.0f || state_ == kUnitRunningOrders || state_ == kUnitDying;
}

}  // namespace game
