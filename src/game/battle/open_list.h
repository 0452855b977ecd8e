#pragma once
// The route search's open list: a sequence of search nodes, taken from the front. A new node goes before the
// first node whose total is not lower than its own (so among equal totals the newest comes first), and a node
// whose total changes keeps its place. Since changed totals can leave the sequence out of order, the place of
// a new node depends on every total, not on a sort key. The sequence is held in one array, front last, with
// each node's place: a search's list stays short (tens of nodes on the largest map) and most new nodes go
// near the front, so finding the place is a short scan of adjacent totals and making room moves few entries;
// the front is taken off the end and a change writes the total where the node stands.
#include <cstdint>
#include <vector>

namespace game {

class OpenList {
public:
    // Room for node indices 0 .. capacity - 1.
    void Reserve(int capacity);
    void Clear() { count_ = 0; }
    bool Empty() const { return count_ == 0; }

    // Puts the node into the sequence by its total.
    void Insert(int node, float total);
    // Takes the first node off; -1 when the list is empty.
    int PopFront();
    // A node in the list got a new total; it keeps its place.
    void Change(int node, float total);

private:
    void Grow(int capacity);

    // Index 0 is the back of the sequence, count_ - 1 its front.
    std::vector<float> totals_;
    std::vector<std::int32_t> nodes_;
    std::vector<std::int32_t> places_;  // by node: its index in the arrays while it is in the list
    int count_ = 0;
};

}  // namespace game
