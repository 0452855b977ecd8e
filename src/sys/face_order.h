#pragma once
// Reordering of a 16-bit triangle list for the post-transform vertex cache.
#include <cstdint>

namespace sys {

// Reorders faceCount triangles of 16-bit indices (all below vertexCount) for the vertex cache. faceRemap
// receives, for each face of the new order, the index of the source face; the windings are kept. False (and
// faceRemap the identity) when an index is out of range or memory runs out.
bool D3DXOptimizeFaces(const std::uint16_t* indices, std::uint32_t faceCount, std::uint32_t vertexCount,
                       std::uint32_t* faceRemap);

}  // namespace sys
