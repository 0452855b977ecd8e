#pragma once
// The start-of-turn queue: the steps of the side whose turn begins, gathered across the map (at most 100),
// ordered by column and then bottom row first, and run one after another, one call per fixed tick.
#include <array>
#include <memory>

#include "game/level/turn_start_events.h"

namespace game {

inline constexpr int kMaxTurnStartEvents = 100;
// The profile option that animates the steps.
inline constexpr unsigned kOptionUpkeeps = 0x02;

class TurnStartQueue {
public:
    void Init() { Clear(); }
    void Clear();
    void Destroy() { Clear(); }

    // Gathers the steps of the current team; true when any was queued.
    bool Build(Level* level, TeamManager* teams);
    // One fixed tick of the running step; true when the queue has finished.
    bool Step();

    int GetCount() const { return count_; }
    int GetIndex() const { return index_; }
    const TurnStartEvent* GetEvent(int i) const;

private:
    bool Add(std::unique_ptr<TurnStartEvent> event);
    bool Full() const { return count_ >= kMaxTurnStartEvents; }

    std::array<std::unique_ptr<TurnStartEvent>, kMaxTurnStartEvents> events_;
    int count_ = 0;
    int index_ = 0;
    Level* level_ = nullptr;
    TeamManager* teams_ = nullptr;
};

// The ordering: ascending column; within a column, descending row.
bool TurnStartEventBefore(const TurnStartEvent& a, const TurnStartEvent& b);

}  // namespace game
