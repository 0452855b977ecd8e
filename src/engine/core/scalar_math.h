#pragma once
// Scalar helpers shared by all of the engine's maths: min/max, degree trigonometry, angle wrapping,
// power-of-two rounding and a fast arctangent.
#include <cstdint>

namespace engine {

inline constexpr float kPi = 3.1415927f;
inline constexpr float kHalfPi = 1.5707964f;
inline constexpr float kDegToRad = 0.017453292f;
inline constexpr float kRadToDeg = 57.29578f;

inline float MinF(float a, float b) { return a < b ? a : b; }
inline float MaxF(float a, float b) { return a > b ? a : b; }
inline int MinInt(int a, int b) { return a < b ? a : b; }
inline int MaxInt(int a, int b) { return a > b ? a : b; }
inline int AbsInt(int a) { return a < 0 ? -a : a; }
float AbsF(float a);
// -1 for a negative value, else 1 (zero gives 1).
inline int SignInt(int a) { return a < 0 ? -1 : 1; }

float SqrtF(float a);
float FModF(float a, float b);
float TanF(float radians);
float SinDeg(float degrees);
float CosDeg(float degrees);
float TanDeg(float degrees);

// The first power of two b = 2^i (i from 1 to 31) with b + b/2 >= n; 0x80000000 when there is none.
std::uint32_t NearestPowerOfTwo(std::uint32_t n);

// An angle in [0, 360). Non-finite input gives NaN.
float WrapAngleDeg(float degrees);
// The signed turn in [-180, 180] that takes angle a to angle b the short way round.
float ShortestAngleDiffDeg(float a, float b);

// Arctangent in radians from a short series and range reduction, good to about 4e-7.
float FastAtanPoly(float x);
float FastAtan(float x);
// Angle of (y, x) in radians; a vanishing x gives +-pi/2.
float FastAtan2(float y, float x);

}  // namespace engine
