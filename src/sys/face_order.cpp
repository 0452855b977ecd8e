#include "sys/face_order.h"

#include <meshoptimizer.h>

#include <algorithm>
#include <numeric>
#include <unordered_map>
#include <vector>

namespace sys {
namespace {

// A key for a triangle that does not depend on which corner comes first (the optimiser keeps windings but
// may in principle rotate corners).
std::uint64_t FaceKey(std::uint16_t a, std::uint16_t b, std::uint16_t c) {
    std::uint16_t v[3] = {a, b, c};
    std::rotate(v, std::min_element(v, v + 3), v + 3);
    return (static_cast<std::uint64_t>(v[0]) << 32) | (static_cast<std::uint64_t>(v[1]) << 16) | v[2];
}

}  // namespace

bool D3DXOptimizeFaces(const std::uint16_t* indices, std::uint32_t faceCount, std::uint32_t vertexCount,
                       std::uint32_t* faceRemap) {
    std::iota(faceRemap, faceRemap + faceCount, 0u);
    const std::size_t indexCount = static_cast<std::size_t>(faceCount) * 3;
    for (std::size_t i = 0; i < indexCount; ++i) {
        if (indices[i] >= vertexCount) return false;
    }
    if (faceCount < 2) return true;
    try {
        std::vector<std::uint16_t> optimised(indexCount);
        meshopt_optimizeVertexCache(optimised.data(), indices, indexCount, vertexCount);
        // Source faces by key; equal faces are handed out in source order.
        std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> faces;
        faces.reserve(faceCount);
        for (std::uint32_t f = faceCount; f-- > 0;) {
            faces[FaceKey(indices[3 * f], indices[3 * f + 1], indices[3 * f + 2])].push_back(f);
        }
        std::vector<std::uint32_t> remap(faceCount);
        for (std::uint32_t f = 0; f < faceCount; ++f) {
            auto it = faces.find(FaceKey(optimised[3 * f], optimised[3 * f + 1], optimised[3 * f + 2]));
            if (it == faces.end() || it->second.empty()) return false;
            remap[f] = it->second.back();
            it->second.pop_back();
        }
        std::copy(remap.begin(), remap.end(), faceRemap);
        return true;
    } catch (const std::bad_alloc&) {
        std::iota(faceRemap, faceRemap + faceCount, 0u);
        return false;
    }
}

}  // namespace sys
