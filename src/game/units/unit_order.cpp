#include "game/units/unit_order.h"

#include <atomic>

namespace game {

namespace {
std::atomic<int> gLastOrderId{0};
}  // namespace

UnitOrder::UnitOrder() : id_(gLastOrderId.fetch_add(1, std::memory_order_relaxed) + 1) {}

bool UnitOrder::GetTargetHex(HexCoord&) const { return false; }

}  // namespace game
