#pragma once
// Two independent random streams (0 and 1), each an MT19937 generator with its own lock, so that the
// computer player's thread may draw while the main thread does.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "engine/core/mersenne_twister.h"
#include "engine/core/vector.h"

namespace engine {

class FrameTimerBase;

class RandomStreams {
public:
    static constexpr int kStreamCount = 2;
    using SeedSource = std::function<std::uint32_t()>;
    // Replaces the generators' raw 31-bit draws (tests give fixed sequences through it).
    using RawSource = std::function<std::uint32_t(int stream)>;

    // Seeds each stream with a value from the seed source.
    explicit RandomStreams(const SeedSource& seedSource, RawSource rawSource = nullptr);

    // The program-wide streams, made at engine creation. Each stream is seeded with its own read of the
    // timer's raw ticks; without a timer, of a timer over the steady clock, so the seed differs per run.
    static void Create();
    static void Create(const FrameTimerBase& timer);
    static void Create(const SeedSource& seedSource);
    static void Destroy();
    static RandomStreams* Get();

    // Seeds one stream again; 0 becomes 1.
    void Reseed(int stream, std::uint32_t seed);

    // 0 to 2147483647.
    std::uint32_t NextRaw(int stream = 0);
    // In (0, 1): never 0 and never 1.
    float NextUnit(int stream = 0);
    // An integer between the bounds, taken in either order.
    int NextInt(int lo, int hi, int stream = 0);
    // A float between the bounds, taken in either order.
    float NextFloat(float lo, float hi, int stream = 0);
    // In [-1, 1] and never 0, from stream 1.
    float NextNonZeroSigned();
    // A vector of the axis's length at the given angle from it, at a random bearing around it.
    Vec3 NextConeDirection(int stream, const Vec3& axis, float angleDegrees);
    // A random direction scaled to a length between the bounds, from stream 1.
    Vec3 NextShellVector(float minLength, float maxLength);

private:
    struct Stream {
        std::mutex lock;
        MersenneTwister generator;
    };

    Stream& At(int stream);

    Stream streams_[kStreamCount];
    RawSource rawSource_;
};

}  // namespace engine
