#pragma once
// For every tile of the map, a bit for each of up to 64 slots (a side's units, the computer's planners) whose
// holder stands, or plans to stand, there: a lookup by hex visits only those slots, in slot order. Its owner
// moves the bits with every change; they are atomic, as the planning thread reads while the main thread may
// write, and the other way round.
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "game/battle/hex_coord.h"

namespace game {

class HexSlotIndex {
public:
    // Sets or clears the slot's bit on the hex; nothing for a hex off the map.
    void Mark(int slot, HexCoord hex, bool on) {
        if (slot < 0 || slot >= 64 || !IsValidHex(hex)) return;
        std::atomic<std::uint64_t>& bits = tiles_[static_cast<std::size_t>(HexTileIndex(hex))];
        const std::uint64_t bit = std::uint64_t{1} << slot;
        if (on) {
            bits.fetch_or(bit, std::memory_order_acq_rel);
        } else {
            bits.fetch_and(~bit, std::memory_order_acq_rel);
        }
    }
    // The slots marked on the hex; 0 off the map.
    std::uint64_t At(HexCoord hex) const {
        return IsValidHex(hex) ? tiles_[static_cast<std::size_t>(HexTileIndex(hex))].load(std::memory_order_acquire) : 0;
    }

private:
    std::array<std::atomic<std::uint64_t>, kMapTileCount> tiles_{};
};

}  // namespace game
