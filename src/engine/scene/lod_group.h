#pragma once
// A distance-switch group (the payload of a type-6 node): up to four entries of a child node and the range of
// distances in which it is drawn. The entries' nodes are the group's children; they are not in the node's
// child array.
namespace engine {

class SceneNode;

class LodGroup {
public:
    static constexpr int kMaxEntries = 4;

    struct Entry {
        SceneNode* node = nullptr;
        float rangeStart = 0.0f;
        float rangeLength = 0.0f;
    };

    explicit LodGroup(SceneNode* owner) : owner_(owner) {}

    // Detaches the node from its old parent and puts it in the next free slot with the range. False (nothing
    // changed) for a null node, the owner or one of its ancestors, or when all four slots are taken.
    bool AddChild(SceneNode* node, float rangeStart, float rangeLength);
    // Takes the node out of its slot: later entries' nodes move down one slot, the ranges stay with their
    // slots and the freed last slot is cleared. The node's parent link is cleared. False when it is not here.
    bool RemoveChild(SceneNode* node);
    // The node of the first entry whose range start + length exceeds the value; null beyond the last.
    SceneNode* FindChildForDistance(float distance) const;

    int Count() const { return count_; }
    const Entry& GetEntry(int i) const { return entries_[i]; }
    // Sets a slot's range (slots beyond the count keep theirs for a later node).
    void SetRange(int slot, float rangeStart, float rangeLength);
    SceneNode* Owner() const { return owner_; }

private:
    int count_ = 0;
    Entry entries_[kMaxEntries];
    SceneNode* owner_ = nullptr;
};

}  // namespace engine
