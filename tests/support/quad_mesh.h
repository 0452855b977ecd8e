#pragma once
// A quad over the whole target in mesh vertices (format 4), in vertex and index buffers of the managed pool,
// for tests and benchmarks that draw indexed batches.
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "engine/render/mesh_batch.h"
#include "engine/render/vertex_formats.h"
#include "engine/render/vertex_packing.h"
#include "sys/gpu_device.h"
#include "sys/gpu_resource.h"

namespace testsupport {

struct QuadBuffers {
    sys::GpuVertexBuffer* vertices = nullptr;
    sys::GpuIndexBuffer* indices = nullptr;
};

// Corners (-1, 1), (1, 1), (1, -1), (-1, -1) in clip space at depth 0.5, white, and the two triangles 0 1 2 and
// 0 2 3 in 16-bit indices. `corner`, when given, fills in the rest of each vertex from its index (the position
// is already set). The caller releases the buffers; when either could not be made, neither is written.
inline QuadBuffers MakeQuadBuffers(sys::GpuDevice& gpu,
                                   const std::function<void(int, engine::VertexSource&)>& corner = {}) {
    constexpr int kStride = 32;
    std::vector<std::uint8_t> bytes(kStride * 4);
    const float corners[4][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, -1}};
    for (int i = 0; i < 4; ++i) {
        engine::VertexSource source;
        source.position = {corners[i][0], corners[i][1], 0.5f};
        source.colour = 0xFFFFFFFFu;
        if (corner) corner(i, source);
        engine::WritePackedVertex(engine::kVertexMesh, source, {}, bytes.data() + kStride * i);
    }
    const std::uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    QuadBuffers quad;
    quad.vertices = gpu.CreateVertexBuffer(static_cast<std::uint32_t>(bytes.size()), 0, sys::kPoolManaged);
    quad.indices = gpu.CreateIndexBuffer(sizeof indices, 0, sys::kFmtIndex16, sys::kPoolManaged);
    if (quad.vertices == nullptr || quad.indices == nullptr) return quad;
    void* data = nullptr;
    quad.vertices->Lock(0, 0, &data, 0);
    std::memcpy(data, bytes.data(), bytes.size());
    quad.vertices->Unlock();
    quad.indices->Lock(0, 0, &data, 0);
    std::memcpy(data, indices, sizeof indices);
    quad.indices->Unlock();
    return quad;
}

// The batch that draws the quad: format 4, four vertices, six indices.
inline engine::MeshBatch QuadBatch(const QuadBuffers& quad) {
    engine::MeshBatch batch;
    batch.vertexBuffer = quad.vertices;
    batch.indexBuffer = quad.indices;
    batch.vertexFormat = engine::kVertexMesh;
    batch.vertexCount = 4;
    batch.indexCount = 6;
    return batch;
}

}  // namespace testsupport
