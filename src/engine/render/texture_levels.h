#pragma once
// Level access on the layer's 2D and cube textures alike (face 0 for a 2D texture), and copies of whole
// levels between textures and into memory.
#include <cstdint>
#include <vector>

#include "sys/gpu_resource.h"

namespace engine {

sys::GpuResult LockTextureLevel(sys::GpuBaseTexture& texture, std::uint32_t face, std::uint32_t level,
                                sys::GpuLockedRect& locked, const sys::GpuRect* rect, std::uint32_t flags = 0);
sys::GpuResult UnlockTextureLevel(sys::GpuBaseTexture& texture, std::uint32_t face, std::uint32_t level);
// Copies the overlap of two levels' sizes row by row into a level of 32-bit texels (block levels are
// decoded). False when a lock fails.
bool CopyTextureLevel(sys::GpuBaseTexture& source, std::uint32_t sourceFace, std::uint32_t sourceLevel,
                      sys::GpuBaseTexture& destination, std::uint32_t destinationFace, std::uint32_t destinationLevel);
// The level's 32-bit B, G, R, A texels (block levels decoded), tightly packed rows; empty when it cannot be
// read.
std::vector<std::uint8_t> ReadTextureLevel(sys::GpuBaseTexture& texture, std::uint32_t face, std::uint32_t level,
                                           std::uint32_t& width, std::uint32_t& height);

}  // namespace engine
