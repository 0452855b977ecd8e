#include "game/ai/ai_unit_planner.h"

#include <utility>

namespace game {

AIUnitPlanner::AIUnitPlanner(int unitId, HexCoord hex, bool airborne)
    : position_(hex), unitId_(unitId), airborne_(airborne) {}

AIUnitPlanner::~AIUnitPlanner() {
    if (index_ != nullptr && hasPlannedTile_) index_->Mark(indexSlot_, plannedTile_, false);
}

void AIUnitPlanner::AttachIndex(PlannedTileIndex& index, int slot) {
    if (index_ != nullptr && hasPlannedTile_) index_->Mark(indexSlot_, plannedTile_, false);
    index_ = &index;
    indexSlot_ = slot;
    if (hasPlannedTile_) index_->Mark(indexSlot_, plannedTile_, true);
}

bool AIUnitPlanner::AddPendingOrder(std::unique_ptr<UnitOrder> order) {
    if (!order || pendingCount_ >= kMaxPendingOrders) return false;
    pending_[static_cast<std::size_t>(pendingCount_++)] = std::move(order);
    return true;
}

void AIUnitPlanner::ClearPendingOrders() {
    for (auto& order : pending_) order.reset();
    pendingCount_ = 0;
}

const UnitOrder* AIUnitPlanner::GetPendingOrder(int i) const {
    if (i < 0 || i >= pendingCount_) return nullptr;
    return pending_[static_cast<std::size_t>(i)].get();
}

std::array<std::unique_ptr<UnitOrder>, kMaxPendingOrders> AIUnitPlanner::TakePendingOrders() {
    auto orders = std::move(pending_);
    pending_ = {};
    pendingCount_ = 0;
    return orders;
}

bool AIUnitPlanner::GetTarget(HexCoord& out) const {
    if (!hasPlannedTile_) return false;
    out = plannedTile_;
    return true;
}

void AIUnitPlanner::SetPlannedTile(HexCoord tile) {
    if (index_ != nullptr) {
        if (hasPlannedTile_) index_->Mark(indexSlot_, plannedTile_, false);
        index_->Mark(indexSlot_, tile, true);
    }
    hasPlannedTile_ = true;
    plannedTile_ = tile;
    position_ = tile;
}

void AIUnitPlanner::ClearPlannedTile() {
    if (index_ != nullptr && hasPlannedTile_) index_->Mark(indexSlot_, plannedTile_, false);
    hasPlannedTile_ = false;
    makeWay_ = false;
}

void AIUnitPlanner::SetWantsTransport(bool wants, HexCoord destination) {
    wantsTransport_ = wants;
    transportDestination_ = destination;
}

}  // namespace game
