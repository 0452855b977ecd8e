#include "game/battle/open_list.h"

#include <cstring>

namespace game {

void OpenList::Reserve(int capacity) {
    Grow(capacity);
    count_ = 0;
}

void OpenList::Grow(int capacity) {
    const std::size_t size = static_cast<std::size_t>(capacity);
    if (totals_.size() < size) {
        totals_.resize(size);
        nodes_.resize(size);
    }
}

void OpenList::Insert(int node, float total) {
    if (static_cast<std::size_t>(count_) >= totals_.size()) Grow(count_ + 1);
    float* totals = totals_.data();
    std::int32_t* nodes = nodes_.data();
    // From the front back to the first node whose total is not lower; the new node goes in front of it.
    int at = count_;
    while (at > 0 && totals[at - 1] < total) --at;
    const std::size_t moved = static_cast<std::size_t>(count_ - at);
    std::memmove(totals + at + 1, totals + at, moved * sizeof(float));
    std::memmove(nodes + at + 1, nodes + at, moved * sizeof(std::int32_t));
    totals[at] = total;
    nodes[at] = node;
    ++count_;
}

int OpenList::PopFront() {
    if (count_ == 0) return -1;
    return nodes_[static_cast<std::size_t>(--count_)];
}

// Changed nodes are mostly near the front: look from there.
void OpenList::Change(int node, float total) {
    const std::int32_t* nodes = nodes_.data();
    for (int i = count_ - 1; i >= 0; --i) {
        if (nodes[i] == node) {
            totals_[static_cast<std::size_t>(i)] = total;
            return;
        }
    }
}

}  // namespace game
