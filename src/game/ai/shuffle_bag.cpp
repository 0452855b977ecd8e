#include "game/ai/shuffle_bag.h"

#include <utility>

#include "engine/core/random_streams.h"

namespace game {

void ShuffleBag::Reset(unsigned capacity) {
    count_ = 0;
    drawLimit_ = 0;
    capacity_ = capacity;
    items_.assign(capacity, 0);
}

void ShuffleBag::Clear() {
    count_ = 0;
    drawLimit_ = 0;
}

void ShuffleBag::AddRepeated(int value, unsigned n) {
    if (n == 0) return;
    const unsigned old = count_;
    count_ += n;
    if (count_ > capacity_) {
        capacity_ = capacity_ * 3 / 2 + 1;
        if (capacity_ < count_) capacity_ = count_;
        items_.resize(capacity_, 0);
    }
    for (unsigned i = old; i < count_; ++i) items_[i] = value;
    drawLimit_ = count_ - 1;
}

int ShuffleBag::Draw(engine::RandomStreams& random) {
    if (count_ == 0) return 0;
    if (drawLimit_ == 0) {
        // One undrawn item left (or none): the bag starts over.
        drawLimit_ = count_ - 1;
        return items_[0];
    }
    const unsigned j = static_cast<unsigned>(random.NextInt(0, static_cast<int>(drawLimit_), 0));
    std::swap(items_[j], items_[drawLimit_]);
    return items_[drawLimit_--];
}

}  // namespace game
