#pragma once
// The eight-byte codes by which material files name the nine material shader sets, in set-index order.
#include <cstdint>

namespace engine {

constexpr int kShaderSetCount = 9;

// Set indices.
constexpr int kSetPlainColour = 0;
constexpr int kSetTexture = 1;
constexpr int kSetColourDecal = 2;
constexpr int kSetTerrain = 3;
constexpr int kSetTerrain2 = 4;
constexpr int kSetWater = 5;
constexpr int kSetWater2 = 6;
constexpr int kSetBlock = 7;
constexpr int kSetFur = 8;

// The code of a set index, without padding ("BLOX"); null outside 0..8.
const char* ShaderSetCodeText(int index);
// The lowest set index whose zero-padded eight-byte code equals the eight bytes given; 0 when none does.
int FindShaderSetByCode(const std::uint8_t code[8]);

}  // namespace engine
