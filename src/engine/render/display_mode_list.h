#pragma once
// The full-screen display modes of the adapter, kept twice: list A holds per size the first refresh rate met,
// replaced by any lower one still above 50 Hz; list B holds per size the highest refresh rate.
#include <cstdint>

namespace engine {

struct DisplayModeEntry {
    std::uint32_t format = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint16_t refreshRate = 0;
};

struct DisplayModeSet {
    static constexpr int kCapacity = 128;
    std::int32_t count = 0;
    DisplayModeEntry entries[kCapacity] = {};
};

struct DisplayModeList {
    DisplayModeSet listA;
    DisplayModeSet listB;

    void Clear();
    // Takes one adapter mode into both lists by their rules.
    void Add(const DisplayModeEntry& mode);
    // Index into list A: the first entry of exactly this size, else the first of the smallest squared
    // distance; -1 for an empty list.
    int FindNearest(int width, int height) const;
};

}  // namespace engine
