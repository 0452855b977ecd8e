#include "game/battle/open_list.h"

#include <algorithm>

namespace game {

namespace {

// A fixed scramble of the node index: the treap's balance needs priorities unrelated to the sequence order,
// and a fixed one keeps every search repeatable.
std::uint32_t Scramble(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

}  // namespace

void OpenList::Reserve(int capacity) {
    if (static_cast<int>(entries_.size()) < capacity) entries_.resize(static_cast<std::size_t>(capacity));
    root_ = -1;
}

int OpenList::FirstNotBelow(float total) const {
    int at = root_;
    if (at < 0 || !(entries_[static_cast<std::size_t>(at)].largest >= total)) return -1;
    // The subtree at 'at' holds a total not below the one asked for: the leftmost such node is in its left
    // subtree when that holds one, else it is 'at' itself, else it is in the right subtree.
    for (;;) {
        const Entry& e = entries_[static_cast<std::size_t>(at)];
        if (e.left >= 0 && entries_[static_cast<std::size_t>(e.left)].largest >= total) {
            at = e.left;
        } else if (e.total >= total) {
            return at;
        } else {
            at = e.right;
        }
    }
}

void OpenList::Refresh(int node) {
    Entry& e = entries_[static_cast<std::size_t>(node)];
    float largest = e.total;
    if (e.left >= 0) largest = std::max(largest, entries_[static_cast<std::size_t>(e.left)].largest);
    if (e.right >= 0) largest = std::max(largest, entries_[static_cast<std::size_t>(e.right)].largest);
    e.largest = largest;
}

void OpenList::RefreshUpwards(int node) {
    for (int at = node; at >= 0; at = entries_[static_cast<std::size_t>(at)].parent) {
        const float before = entries_[static_cast<std::size_t>(at)].largest;
        Refresh(at);
        if (at != node && entries_[static_cast<std::size_t>(at)].largest == before) return;
    }
}

// Puts 'by' (or nothing) where 'node' hangs in the tree.
void OpenList::Replace(int node, int by) {
    const int parent = entries_[static_cast<std::size_t>(node)].parent;
    if (by >= 0) entries_[static_cast<std::size_t>(by)].parent = parent;
    if (parent < 0) {
        root_ = by;
    } else if (entries_[static_cast<std::size_t>(parent)].left == node) {
        entries_[static_cast<std::size_t>(parent)].left = by;
    } else {
        entries_[static_cast<std::size_t>(parent)].right = by;
    }
}

// Rotates the node above its parent, keeping the sequence order.
void OpenList::RotateUp(int node) {
    Entry& n = entries_[static_cast<std::size_t>(node)];
    const int parent = n.parent;
    Entry& p = entries_[static_cast<std::size_t>(parent)];
    Replace(parent, node);
    if (p.left == node) {
        p.left = n.right;
        if (n.right >= 0) entries_[static_cast<std::size_t>(n.right)].parent = parent;
        n.right = parent;
    } else {
        p.right = n.left;
        if (n.left >= 0) entries_[static_cast<std::size_t>(n.left)].parent = parent;
        n.left = parent;
    }
    p.parent = node;
    Refresh(parent);
    Refresh(node);
}

void OpenList::Insert(int node, float total) {
    Entry& e = entries_[static_cast<std::size_t>(node)];
    e = Entry{};
    e.total = total;
    e.largest = total;
    e.priority = Scramble(static_cast<std::uint32_t>(node));

    // Hang the node just before its place: as the left child of the node found, or as the rightmost node
    // of that node's left subtree (of the whole tree when it goes last).
    const int before = FirstNotBelow(total);
    int parent = -1;
    bool asLeft = false;
    if (before >= 0 && entries_[static_cast<std::size_t>(before)].left < 0) {
        parent = before;
        asLeft = true;
    } else {
        int at = before >= 0 ? entries_[static_cast<std::size_t>(before)].left : root_;
        while (at >= 0) {
            parent = at;
            at = entries_[static_cast<std::size_t>(at)].right;
        }
    }
    e.parent = parent;
    if (parent < 0) {
        root_ = node;
        return;
    }
    (asLeft ? entries_[static_cast<std::size_t>(parent)].left : entries_[static_cast<std::size_t>(parent)].right) =
        node;
    for (int at = parent; at >= 0; at = entries_[static_cast<std::size_t>(at)].parent) {
        Entry& up = entries_[static_cast<std::size_t>(at)];
        if (up.largest >= total) break;
        up.largest = total;
    }
    while (e.parent >= 0 && entries_[static_cast<std::size_t>(e.parent)].priority < e.priority) RotateUp(node);
}

int OpenList::PopFront() {
    if (root_ < 0) return -1;
    int first = root_;
    while (entries_[static_cast<std::size_t>(first)].left >= 0) first = entries_[static_cast<std::size_t>(first)].left;
    const int parent = entries_[static_cast<std::size_t>(first)].parent;
    Replace(first, entries_[static_cast<std::size_t>(first)].right);
    if (parent >= 0) RefreshUpwards(parent);
    return first;
}

void OpenList::Change(int node, float total) {
    entries_[static_cast<std::size_t>(node)].total = total;
    RefreshUpwards(node);
}

}  // namespace game
