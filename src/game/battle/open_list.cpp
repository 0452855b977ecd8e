#include "game/battle/open_list.h"

#include <algorithm>

namespace game {

void OpenList::Reserve(int capacity) {
    Grow(capacity);
    count_ = 0;
}

void OpenList::Grow(int capacity) {
    const std::size_t size = static_cast<std::size_t>(capacity);
    if (places_.size() < size) {
        places_.resize(size);
        totals_.resize(size);
        nodes_.resize(size);
    }
}

void OpenList::Insert(int node, float total) {
    if (static_cast<std::size_t>(node) >= places_.size() || static_cast<std::size_t>(count_) >= places_.size()) {
        Grow(std::max(node, count_) + 1);
    }
    float* totals = totals_.data();
    std::int32_t* nodes = nodes_.data();
    std::int32_t* places = places_.data();
    // From the front back to the first node whose total is not lower; the new node goes in front of it.
    int at = count_;
    while (at > 0 && totals[at - 1] < total) --at;
    for (int i = count_; i > at; --i) {
        totals[i] = totals[i - 1];
        nodes[i] = nodes[i - 1];
        places[nodes[i]] = i;
    }
    totals[at] = total;
    nodes[at] = node;
    places[node] = at;
    ++count_;
}

int OpenList::PopFront() {
    if (count_ == 0) return -1;
    return nodes_[static_cast<std::size_t>(--count_)];
}

void OpenList::Change(int node, float total) {
    totals_[static_cast<std::size_t>(places_[static_cast<std::size_t>(node)])] = total;
}

}  // namespace game
