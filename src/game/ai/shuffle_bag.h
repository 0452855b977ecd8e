#pragma once
// A growable bag of ints drawn at random without replacement. Once every item but one has been drawn, the
// next draw hands out the first item and the whole bag is full again, so the bag never runs dry while it
// holds anything.
#include <vector>

namespace engine {
class RandomStreams;
}

namespace game {

class ShuffleBag {
public:
    explicit ShuffleBag(unsigned capacity = 0) { Reset(capacity); }

    // Empties the bag and sets aside storage for the capacity.
    void Reset(unsigned capacity);
    void Clear();
    unsigned GetCount() const { return count_; }
    unsigned GetCapacity() const { return capacity_; }

    // n copies of the value; the bag grows by half plus one (or to the new count) when it must.
    void AddRepeated(int value, unsigned n);
    void Add(int value) { AddRepeated(value, 1); }
    // 0 when empty; else an undrawn item chosen with stream 0 of the generator.
    int Draw(engine::RandomStreams& random);

private:
    unsigned count_ = 0;
    unsigned drawLimit_ = 0;  // the last index still undrawn
    unsigned capacity_ = 0;
    std::vector<int> items_;
};

}  // namespace game
