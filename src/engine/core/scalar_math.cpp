#include "engine/core/scalar_math.h"

#include <cmath>
#include <limits>

namespace engine {

float AbsF(float a) { return std::fabs(a); }
float SqrtF(float a) { return std::sqrt(a); }
float FModF(float a, float b) { return std::fmod(a, b); }
float TanF(float radians) { return std::tan(radians); }
float SinDeg(float degrees) { return std::sin(degrees * kDegToRad); }
float CosDeg(float degrees) { return std::cos(degrees * kDegToRad); }
float TanDeg(float degrees) { return std::tan(degrees * kDegToRad); }

std::uint32_t NearestPowerOfTwo(std::uint32_t n) {
    for (int i = 1; i <= 31; ++i) {
        const std::uint64_t b = std::uint64_t{1} << i;
        if (b + b / 2 >= n) return static_cast<std::uint32_t>(b);
    }
    return 0x80000000u;
}

float WrapAngleDeg(float degrees) {
    if (!std::isfinite(degrees)) return std::numeric_limits<float>::quiet_NaN();
    // The remainder first, so that huge negative angles need one addition rather than billions.
    float r = std::fmod(degrees, 360.0f);
    if (r < 0.0f) r += 360.0f;
    if (r >= 360.0f) r = 0.0f;  // -tiny + 360 rounds to 360
    return r;
}

float ShortestAngleDiffDeg(float a, float b) {
    a = WrapAngleDeg(a);
    b = WrapAngleDeg(b);
    const float across = MinF(a, 360.0f - a) + MinF(b, 360.0f - b);
    const float direct = b - a;
    if (std::fabs(direct) <= across) return direct;
    return (a - b) < 0.0f ? -across : across;
}

float FastAtanPoly(float x) {
    const float x2 = x * x;
    return x * (1.0f -
                x2 * (0.33333334f -
                      x2 * (0.2f -
                            x2 * (0.14285715f -
                                  x2 * (0.11111111f -
                                        x2 * (0.09090909f - x2 * (0.07692308f - x2 * 0.06666667f)))))));
}

float FastAtan(float x) {
    const float a = std::fabs(x);
    if (a < 0.4142135f) return FastAtanPoly(x);
    if (a < 1.0f) return 2.0f * FastAtanPoly((std::sqrt(x * x + 1.0f) - 1.0f) / x);
    if (a > 2.414f) return (x > 0.0f ? kHalfPi : -kHalfPi) - FastAtanPoly(1.0f / x);
    if (a > 1.5f) {
        const float f = 2.0f * x / (1.0f - x * x);
        return x >= 0.0f ? (FastAtan(f) + kPi) * 0.5f : (FastAtan(f) - kPi) * 0.5f;
    }
    const float u = (1.0f - x * x) / (2.0f * x);
    return x > 0.0f ? (kHalfPi - FastAtanPoly(u)) * 0.5f : (-kHalfPi - FastAtanPoly(u)) * 0.5f;
}

float FastAtan2(float y, float x) {
    if (std::fabs(x) > std::fabs(y) * 1.4210855e-14f) {
        const float f = FastAtan(y / x);
        if (x < 0.0f) return f > 0.0f ? f - kPi : f + kPi;
        return f;
    }
    const bool yNegative = y < 0.0f;
    const bool xNegative = x < 0.0f;
    return yNegative != xNegative ? -kHalfPi : kHalfPi;
}

}  // namespace engine
