#include "engine/core/random_streams.h"

#include <cmath>

#include "engine/core/frame_timer.h"
#include "engine/core/scalar_math.h"

namespace engine {

namespace {
std::unique_ptr<RandomStreams> g_streams;
constexpr float kTwoPowMinus31 = 4.656612873077392578125e-10f;
}  // namespace

RandomStreams::RandomStreams(const SeedSource& seedSource, RawSource rawSource) : rawSource_(std::move(rawSource)) {
    for (int i = 0; i < kStreamCount; ++i) streams_[i].generator.Seed(seedSource ? seedSource() : 5489u);
}

void RandomStreams::Create() { Create(FrameTimer()); }

void RandomStreams::Create(const FrameTimerBase& timer) {
    Create([&timer] { return timer.GetRawTicks(); });
}

void RandomStreams::Create(const SeedSource& seedSource) { g_streams = std::make_unique<RandomStreams>(seedSource); }

void RandomStreams::Destroy() { g_streams.reset(); }

RandomStreams* RandomStreams::Get() { return g_streams.get(); }

RandomStreams::Stream& RandomStreams::At(int stream) {
    // Out-of-range stream numbers draw from stream 0 rather than from outside the array.
    return streams_[(stream >= 0 && stream < kStreamCount) ? stream : 0];
}

void RandomStreams::Reseed(int stream, std::uint32_t seed) {
    Stream& s = At(stream);
    std::lock_guard<std::mutex> guard(s.lock);
    s.generator.Seed(seed == 0 ? 1u : seed);
}

std::uint32_t RandomStreams::NextRaw(int stream) {
    if (rawSource_) return rawSource_(stream) & 0x7FFFFFFFu;
    Stream& s = At(stream);
    std::lock_guard<std::mutex> guard(s.lock);
    return s.generator.Next();
}

float RandomStreams::NextUnit(int stream) {
    // raw x 2^-31 rounds to 1.0 for the largest raw values; those are drawn again like 0.
    for (;;) {
        const float u = static_cast<float>(NextRaw(stream)) * kTwoPowMinus31;
        if (u > 0.0f && u < 1.0f) return u;
    }
}

int RandomStreams::NextInt(int lo, int hi, int stream) {
    if (lo == hi) return lo;
    const std::int64_t min = lo < hi ? lo : hi;
    const std::int64_t max = lo < hi ? hi : lo;
    std::int64_t v = min + static_cast<std::int64_t>(NextRaw(stream)) * (max - min + 1) / 0x7FFFFFFF;
    if (v < min) v = min;
    if (v > max) v = max;
    return static_cast<int>(v);
}

float RandomStreams::NextFloat(float lo, float hi, int stream) {
    if (lo == hi) return lo;
    const float min = MinF(lo, hi);
    const float max = MaxF(lo, hi);
    const float v = min + static_cast<float>(NextRaw(stream)) * (max - min) * kTwoPowMinus31;
    return v < min ? min : (v > max ? max : v);
}

float RandomStreams::NextNonZeroSigned() {
    for (;;) {
        const float v = NextFloat(-1.0f, 1.0f, 1);
        if (v != 0.0f) return v;
    }
}

Vec3 RandomStreams::NextConeDirection(int stream, const Vec3& axis, float angleDegrees) {
    const float length = axis.Length();
    // No random vector is ever far enough from a non-finite axis: give the axis back rather than draw forever.
    if (!std::isfinite(length)) return axis;
    for (;;) {
        const float u1 = NextUnit(stream);
        const float u2 = NextUnit(stream);
        const float u3 = NextUnit(stream);
        const Vec3 r{2.0f * u3 - 1.0f, 2.0f * u2 - 1.0f, 2.0f * u1 - 1.0f};
        const Vec3 p = axis.Cross(r);
        const float pLength = p.Length();
        // An r parallel to the axis gives no perpendicular; draw again.
        if (!(pLength > 1e-6f * length) || !std::isfinite(pLength)) {
            if (length == 0.0f) return axis;
            continue;
        }
        const Vec3 side = p.Scale(length / pLength);
        return side.Scale(SinDeg(angleDegrees)).Add(axis.Scale(CosDeg(angleDegrees)));
    }
}

Vec3 RandomStreams::NextShellVector(float minLength, float maxLength) {
    const float z = NextNonZeroSigned();
    const float bearing = NextFloat(0.0f, 360.0f, 1);
    const float s = std::sqrt(MaxF(0.0f, 1.0f - z * z));
    const Vec3 direction{CosDeg(bearing) * s, SinDeg(bearing) * s, z};
    return direction.Scale(NextFloat(minLength, maxLength, 1));
}

}  // namespace engine
