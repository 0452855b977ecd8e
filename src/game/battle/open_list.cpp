#include "game/battle/open_list.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace game {

void OpenList::Reserve(int capacity) {
    Grow(capacity);
    Clear();
}

void OpenList::Grow(int capacity) {
    const std::size_t size = static_cast<std::size_t>(capacity);
    if (totals_.size() < size) {
        totals_.resize(size);
        nodes_.resize(size);
    }
}

void OpenList::Insert(int node, float total) {
    if (static_cast<std::size_t>(end_) >= totals_.size()) {
        // Taken nodes leave room at the start: move the list there, or grow when it is full.
        if (head_ > 0) {
            const std::size_t count = static_cast<std::size_t>(end_ - head_);
            std::memmove(totals_.data(), totals_.data() + head_, count * sizeof(float));
            std::memmove(nodes_.data(), nodes_.data() + head_, count * sizeof(std::int32_t));
            end_ -= head_;
            head_ = 0;
        } else {
            Grow(end_ + 1);
        }
    }
    float* totals = totals_.data();
    std::int32_t* nodes = nodes_.data();
    // From the front to the first node whose total is not lower; the new node goes in front of it.
    int at = head_;
#if defined(__SSE2__)
    // Eight totals at a time while all of them are lower.
    const __m128 bound = _mm_set1_ps(total);
    while (at + 8 <= end_) {
        const __m128 a = _mm_cmplt_ps(_mm_loadu_ps(totals + at), bound);
        const __m128 b = _mm_cmplt_ps(_mm_loadu_ps(totals + at + 4), bound);
        if (_mm_movemask_ps(_mm_and_ps(a, b)) != 0xF) break;
        at += 8;
    }
#endif
    while (at < end_ && totals[at] < total) ++at;
    const std::size_t moved = static_cast<std::size_t>(end_ - at);
    std::memmove(totals + at + 1, totals + at, moved * sizeof(float));
    std::memmove(nodes + at + 1, nodes + at, moved * sizeof(std::int32_t));
    totals[at] = total;
    nodes[at] = node;
    ++end_;
}

int OpenList::PopFront() {
    if (head_ == end_) return -1;
    return nodes_[static_cast<std::size_t>(head_++)];
}

// Changed nodes are mostly nearer the back: look from there.
void OpenList::Change(int node, float total) {
    const std::int32_t* nodes = nodes_.data();
    int i = end_;
#if defined(__SSE2__)
    // Four nodes at a time while none of them is the one.
    const __m128i wanted = _mm_set1_epi32(node);
    while (i - 4 >= head_) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(nodes + i - 4));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(block, wanted)) != 0) break;
        i -= 4;
    }
#endif
    for (--i; i >= head_; --i) {
        if (nodes[i] == node) {
            totals_[static_cast<std::size_t>(i)] = total;
            return;
        }
    }
}

}  // namespace game
