#pragma once
// Writing DDS texture files in memory: the 128-byte head and the surfaces, face by face and level by level,
// with the engine's optional alpha trailer behind them.
#include <cstdint>
#include <span>
#include <vector>

#include "engine/image/alpha_kind.h"
#include "engine/image/surface_copy.h"

namespace engine {

// A DDS file of the format (A8R8G8B8, X8R8G8B8, R5G6B5, A1R5G5B5, A4R4G4B4, DXT1 or DXT3) and size with
// `levels` levels per face; a cube has six faces in the order +X, -X, +Y, -Y, +Z, -Z. `surfaces` holds
// faces x levels views, face by face, each of the level's size and the file's format. Empty when the format,
// a size or a surface does not fit.
std::vector<std::uint8_t> EncodeDds(SurfaceFormat format, std::uint32_t width, std::uint32_t height,
                                    std::uint32_t levels, bool cube, std::span<const ConstSurfaceView> surfaces);

// Appends the 12-byte trailer: 0x0000BEEF, 0x00000B0E and the alpha kind, little-endian.
void AppendDdsTrailer(std::vector<std::uint8_t>& file, AlphaKind alphaKind);

}  // namespace engine
