#pragma once
// Process-wide constants of the game: the names of the units' end-of-battle and fear animations, gravity, the
// unit axes, the corners of the unit cube, the identity matrix and a few colours.
#include <array>
#include <cstdint>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"

namespace game {

inline constexpr const char* kAnimCelebrate = "celebrate";
inline constexpr const char* kAnimDespair = "despair";
inline constexpr const char* kAnimCower = "cower";
inline constexpr const char* kAnimCowerLoop = "cowerloop";

inline constexpr engine::Vec3 kGravity{0.0f, -9.81f, 0.0f};

inline constexpr engine::Vec3 kAxisX{1.0f, 0.0f, 0.0f};
inline constexpr engine::Vec3 kAxisY{0.0f, 1.0f, 0.0f};
inline constexpr engine::Vec3 kAxisZ{0.0f, 0.0f, 1.0f};
inline constexpr engine::Vec3 kAxisNegX{-1.0f, 0.0f, 0.0f};
inline constexpr engine::Vec3 kAxisNegY{0.0f, -1.0f, 0.0f};
inline constexpr engine::Vec3 kAxisNegZ{0.0f, 0.0f, -1.0f};
inline constexpr engine::Vec3 kZeroVector{0.0f, 0.0f, 0.0f};

// The eight corners (+-1, +-1, +-1) of the unit cube, x changing fastest.
inline constexpr std::array<engine::Vec3, 8> kCubeCorners = {{
    {-1.0f, -1.0f, -1.0f}, {1.0f, -1.0f, -1.0f}, {-1.0f, 1.0f, -1.0f}, {1.0f, 1.0f, -1.0f},
    {-1.0f, -1.0f, 1.0f},  {1.0f, -1.0f, 1.0f},  {-1.0f, 1.0f, 1.0f},  {1.0f, 1.0f, 1.0f},
}};

inline const engine::Matrix44 kIdentityMatrix{};

// Colours as red, green and blue bytes, and one opaque ARGB word.
struct RgbColour {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};
inline constexpr RgbColour kWhite{255, 255, 255};
inline constexpr RgbColour kGrey128{128, 128, 128};
inline constexpr RgbColour kGrey64{64, 64, 64};
inline constexpr std::uint32_t kOpaqueGreyArgb = 0xff808080u;

}  // namespace game
