#pragma once
// One drawable piece of a mesh model as the device draws it: its vertex and index buffers, vertex format and
// counts, and the bones its vertices refer to; with the CPU copy of its vertex bytes and 16-bit indices, its
// bounding sphere and material that the model's queries, culling and saving read. The model that holds the
// batch owns the buffers and the bone set; the device only reads them.
#include <cstdint>
#include <vector>

#include "engine/core/vector.h"

namespace sys {
class GpuIndexBuffer;
class GpuVertexBuffer;
}  // namespace sys

namespace engine {

// The bones one batch's vertices refer to, in the order the batch's palette uses them: vertex bone index i
// addresses the skin matrix bones[i].
struct BoneSet {
    static constexpr int kMaxBones = 40;
    std::int32_t count = 0;
    std::uint8_t bones[kMaxBones] = {};
};

struct MeshBatch {
    sys::GpuVertexBuffer* vertexBuffer = nullptr;
    sys::GpuIndexBuffer* indexBuffer = nullptr;  // 16-bit indices, a triangle list
    std::vector<std::uint8_t> vertexData;        // the vertex buffer's bytes
    std::vector<std::uint16_t> indices;          // the index buffer's indices
    Vec3 centre;                                 // bounding sphere
    float radius = 0.0f;
    std::int32_t material = 0;  // MaterialLib handle; 0 = the node's material
    std::int32_t vertexFormat = 4;               // 1 to 5
    std::int32_t vertexCount = 0;
    std::int32_t indexCount = 0;  // three per triangle
    BoneSet* boneSet = nullptr;
};

}  // namespace engine
