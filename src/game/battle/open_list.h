#pragma once
// The route search's open list: a sequence of search nodes, taken from the front. A new node goes before the
// first node whose total is not lower than its own (so among equal totals the newest comes first), and a node
// whose total changes keeps its place. Since changed totals can leave the sequence out of order, the place of
// a new node depends on every total, not on a sort key; the sequence is therefore held in a balanced tree
// (a treap) in sequence order where each subtree knows its largest total, which finds that place, takes the
// front and follows a change in O(log n) instead of walking the list.
#include <cstdint>
#include <vector>

namespace game {

class OpenList {
public:
    // Room for node indices 0 .. capacity - 1.
    void Reserve(int capacity);
    void Clear() { root_ = -1; }
    bool Empty() const { return root_ < 0; }

    // Puts the node into the sequence by its total.
    void Insert(int node, float total);
    // Takes the first node off; -1 when the list is empty.
    int PopFront();
    // A node in the list got a new total; it keeps its place.
    void Change(int node, float total);

private:
    struct Entry {
        float total = 0.0f;
        float largest = 0.0f;  // largest total in the subtree
        std::int32_t left = -1;
        std::int32_t right = -1;
        std::int32_t parent = -1;
        std::uint32_t priority = 0;
    };

    // The first node in sequence order whose total is not lower than the total; -1 when none.
    int FirstNotBelow(float total) const;
    void Refresh(int node);
    void RefreshUpwards(int node);
    void RotateUp(int node);
    void Replace(int node, int by);

    std::vector<Entry> entries_;
    int root_ = -1;
};

}  // namespace game
