#pragma once
// The shader-variant key of the active lights and shadows, and the lighting models of materials.
#include <cstdint>

namespace engine {

// LightFlags bits. Bits 0-4 are the five light slots, bits 5-7 the shadows of the directional light and of
// the two spot lights.
inline constexpr std::uint32_t kLightDirectional = 0x01;
inline constexpr std::uint32_t kLightSpot1 = 0x02;
inline constexpr std::uint32_t kLightSpot2 = 0x04;
inline constexpr std::uint32_t kLightPoint1 = 0x08;
inline constexpr std::uint32_t kLightPoint2 = 0x10;
inline constexpr std::uint32_t kShadowDirectional = 0x20;
inline constexpr std::uint32_t kShadowSpot1 = 0x40;
inline constexpr std::uint32_t kShadowSpot2 = 0x80;

// Lighting models of a material.
inline constexpr int kLightingUnlit = 0;
inline constexpr int kLightingDiffuse = 1;
inline constexpr int kLightingBlinn = 2;
inline constexpr int kLightingCookTorrance = 3;
inline constexpr int kLightingViewDiffuse = 4;

// The suffixes that tie a light's registers to its slot: "LT_DIRECTIONAL", "LT_SPOT_1", "LT_SPOT_2",
// "LT_POINT_1", "LT_POINT_2".
inline constexpr const char* kSpotSuffix[2] = {"LT_SPOT_1", "LT_SPOT_2"};
inline constexpr const char* kPointSuffix[2] = {"LT_POINT_1", "LT_POINT_2"};

}  // namespace engine
