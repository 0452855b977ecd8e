#pragma once
// The route search's open list: a sequence of search nodes, taken from the front. A new node goes before the
// first node whose total is not lower than its own (so among equal totals the newest comes first), and a node
// whose total changes keeps its place. Since changed totals can leave the sequence out of order, the place of
// a new node depends on every total, not on a sort key. The sequence is held in two arrays (totals and
// nodes), front last: a search's list stays short (tens of nodes on the largest map), so finding a place is
// a short scan of adjacent totals, making room one block move, and finding a changed node a short scan; the
// front is taken off the end.
#include <cstdint>
#include <vector>

namespace game {

class OpenList {
public:
    // Room for that many nodes at once.
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
    int count_ = 0;
};

}  // namespace game
