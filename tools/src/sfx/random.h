#pragma once
// The synth's own seeded generator (splitmix64): the same seed gives the same numbers with every compiler
// and standard library, which the standard distributions do not promise.
#include <cstdint>

namespace sfx {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [-1, 1).
    double Bipolar() { return static_cast<double>(Next() >> 11) * (2.0 / 9007199254740992.0) - 1.0; }

private:
    std::uint64_t state_;
};

}  // namespace sfx
