#pragma once
// Named animations: a record is a list of frame numbers with a display time each and an end mode (loop, hold
// or spawn another record); a set is a singly linked list of records, new records put at the head.
#include <cstdint>
#include <vector>

#include "engine/core/wide_string.h"

namespace engine {

struct AnimationEntry {
    std::int32_t frame = 0;
    float seconds = 0.0f;
};

enum AnimationEndMode : int { kAnimationLoop = 0, kAnimationHold = 1, kAnimationSpawn = 2 };

class AnimationRecord {
public:
    static constexpr int kInitialCapacity = 32;

    // An empty record of capacity 32 that holds at its end.
    bool Init(const char* recordName);
    // A new record with the same name, end mode, spawn target, cached length, capacity and entries; null when
    // memory runs out. The copy is not linked into any set.
    AnimationRecord* Clone() const;

    // Appends an entry; a full array grows by half its capacity. False when memory runs out.
    bool AddEntry(int frame, float seconds);
    int EntryCount() const { return static_cast<int>(entries.size()); }
    int Capacity() const { return static_cast<int>(entries.capacity()); }

    // The cached length when non-zero, else the sum of the entries' seconds, which is then cached.
    float GetLength();
    // The frame of the first entry whose running sum of seconds exceeds t; at or past the total the last
    // entry's frame; 0 without entries.
    int FrameAt(double t) const;

    WideString name;
    std::vector<AnimationEntry> entries;
    AnimationRecord* next = nullptr;
    AnimationRecord* spawnTarget = nullptr;
    float length = 0.0f;
    int endMode = kAnimationHold;
};

class AnimationSet {
public:
    AnimationSet() = default;
    ~AnimationSet() { Destroy(); }
    AnimationSet(const AnimationSet&) = delete;
    AnimationSet& operator=(const AnimationSet&) = delete;

    // Takes ownership and puts the record at the head of the list.
    void Add(AnimationRecord* record);
    // A new set holding clones of every record, put at the head one by one (so in reversed order). Spawn links
    // are re-pointed to the clone of the record they name; a link to a record outside this set becomes null,
    // so a clone never points into its source. Null when memory runs out.
    AnimationSet* Clone() const;
    // Frees every record and empties the list.
    void Destroy();
    // The first record in list order whose name equals the text, case-insensitive; null if none.
    AnimationRecord* Find(const char* recordName) const;

    AnimationRecord* Head() const { return head_; }
    int RecordCount() const { return count_; }
    // 0-based position of a record in the list, -1 when it is not in this set.
    int IndexOf(const AnimationRecord* record) const;
    AnimationRecord* At(int index) const;

private:
    AnimationRecord* head_ = nullptr;
    int count_ = 0;
};

}  // namespace engine
