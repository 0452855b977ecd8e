#pragma once
// One MT19937 generator giving 31-bit values.
#include <cstdint>
#include <random>

namespace engine {

class MersenneTwister {
public:
    explicit MersenneTwister(std::uint32_t seed = 5489u) : engine_(seed) {}

    // The standard MT19937 initialisation from one 32-bit word.
    void Seed(std::uint32_t seed) { engine_.seed(seed); }
    // The next tempered word with its top bit cleared: 0 to 2147483647.
    std::uint32_t Next() { return static_cast<std::uint32_t>(engine_()) & 0x7FFFFFFFu; }

private:
    std::mt19937 engine_;
};

}  // namespace engine
