#pragma once
// The route search's open list: a sequence of search nodes, taken from the front. A new node goes before the
// first node whose total is not lower than its own (so among equal totals the newest comes first), and a node
// whose total changes keeps its place. Since changed totals can leave the sequence out of order, the place of
// a new node depends on every total, not on a sort key. The sequence is held in two arrays (totals and
// nodes), front first: a search's list stays short (tens of nodes on the largest map), so finding a place is
// a short scan of adjacent totals, making room one block move of the nodes behind it, and finding a changed
// node a short scan; taking the front only moves the start.
#include <cstdint>
#include <vector>

namespace game {

class OpenList {
public:
    // Room for that many nodes at once.
    void Reserve(int capacity);
    void Clear() { head_ = end_ = 0; }
    bool Empty() const { return head_ == end_; }

    // Puts the node into the sequence by its total.
    void Insert(int node, float total);
    // Takes the first node off; -1 when the list is empty.
    int PopFront();
    // A node in the list got a new total; it keeps its place.
    void Change(int node, float total);

private:
    void Grow(int capacity);

    // The sequence is head_ .. end_ - 1, front first; taking the front moves head_.
    std::vector<float> totals_;
    std::vector<std::int32_t> nodes_;
    int head_ = 0;
    int end_ = 0;
};

}  // namespace game
