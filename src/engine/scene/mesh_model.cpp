#include "engine/scene/mesh_model.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "engine/core/matrix.h"
#include "engine/platform/engine_root.h"
#include "engine/render/graphics_device.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/render_device.h"
#include "engine/render/vertex_formats.h"
#include "engine/render/vertex_packing.h"
#include "engine/scene/box_tree.h"
#include "engine/scene/model_octree.h"
#include "engine/scene/model_table.h"
#include "engine/scene/skeleton.h"
#include "sys/gpu_resource.h"

namespace engine {
namespace {

RenderDevice* LineDevice(RenderDevice* device) { return device != nullptr ? device : GetGraphicsDevice(); }

void AddLine(std::vector<ColouredVertex>& lines, const Vec3& a, const Vec3& b, std::uint32_t colourA,
             std::uint32_t colourB) {
    lines.push_back({a.x, a.y, a.z, colourA});
    lines.push_back({b.x, b.y, b.z, colourB});
}

std::uint32_t Argb(int r, int g, int b) {
    return 0xFF000000u | (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) |
           static_cast<std::uint32_t>(b);
}

Vec3 ReadPosition(const MeshBatch& batch, int vertex) {
    const int stride = VertexFormatStride(batch.vertexFormat);
    const std::size_t at = static_cast<std::size_t>(vertex) * static_cast<std::size_t>(stride);
    Vec3 out;
    if (stride == 0 || vertex < 0 || at + 12 > batch.vertexData.size()) return out;
    std::memcpy(&out.x, batch.vertexData.data() + at, 4);
    std::memcpy(&out.y, batch.vertexData.data() + at + 4, 4);
    std::memcpy(&out.z, batch.vertexData.data() + at + 8, 4);
    return out;
}

std::uint32_t ReadWord(const MeshBatch& batch, int vertex, int offset) {
    const int stride = VertexFormatStride(batch.vertexFormat);
    const std::size_t at = static_cast<std::size_t>(vertex) * static_cast<std::size_t>(stride) + offset;
    std::uint32_t word = 0;
    if (stride == 0 || vertex < 0 || at + 4 > batch.vertexData.size()) return 0;
    std::memcpy(&word, batch.vertexData.data() + at, 4);
    return word;
}

}  // namespace

Model::~Model() = default;

void Model::Delete() {
    if (handle != 0 && ModelTable::Get(handle) == this) ModelTable::Set(handle, nullptr);
    delete this;
}

bool Model::Init(const WideString& modelName, int vertexCount, int triangleCount) {
    name = modelName;
    handle = ModelTable::FreeHandle();
    group = CurrentResourceGroup();
    vertexFormat = 4;
    normalsReady = 0;
    if (vertexCount < 0 || triangleCount < 0) return false;
    if (vertexCount != 0 || triangleCount != 0) {
        try {
            mesh = std::make_unique<MeshData>();
            mesh->vertices.resize(static_cast<std::size_t>(vertexCount));
            mesh->triangles.resize(static_cast<std::size_t>(triangleCount));
        } catch (const std::bad_alloc&) {
            mesh.reset();
            return false;
        }
        mesh->vertexCount = vertexCount;
        mesh->triangleCount = triangleCount;
    }
    return handle != 0;
}

bool Model::Enter() {
    if (handle == 0 || ModelTable::Get(handle) != nullptr) return false;
    ModelTable::Set(handle, this);
    return true;
}

const MeshBatch* Model::GetBatch(int index) const {
    if (!batches || index < 0 || index >= batches->BatchCount()) return nullptr;
    return &batches->batches[static_cast<std::size_t>(index)];
}

const RenderTriangle* Model::GetTriangle(int index) const {
    if (!batches || index < 0 || index >= batches->TriangleCount()) return nullptr;
    return &batches->triangles[static_cast<std::size_t>(index)];
}

void Model::DrawBoundsCross(RenderDevice* device) const {
    RenderDevice* target = LineDevice(device);
    if (target == nullptr) return;
    std::vector<ColouredVertex> lines;
    const Vec3 extent = boundsMax.Sub(boundsMin);
    const std::uint32_t orange = Argb(255, 192, 0);
    AddLine(lines, {-2 * extent.x, 0, 0}, {2 * extent.x, 0, 0}, orange, orange);
    AddLine(lines, {0, -2 * extent.y, 0}, {0, 2 * extent.y, 0}, orange, orange);
    AddLine(lines, {0, 0, -2 * extent.z}, {0, 0, 2 * extent.z}, orange, orange);
    if (batches) {
        const std::uint32_t red = Argb(255, 0, 0);
        const Vec3 arm = extent.Scale(0.25f);
        for (const MeshBatch& batch : batches->batches) {
            const Vec3& c = batch.centre;
            AddLine(lines, {c.x - arm.x, c.y, c.z}, {c.x + arm.x, c.y, c.z}, red, red);
            AddLine(lines, {c.x, c.y - arm.y, c.z}, {c.x, c.y + arm.y, c.z}, red, red);
            AddLine(lines, {c.x, c.y, c.z - arm.z}, {c.x, c.y, c.z + arm.z}, red, red);
        }
    }
    target->DrawVertexColoured(lines.data(), static_cast<int>(lines.size()));
}

void Model::TransformVertices(const Matrix44& matrix) {
    if (!mesh) return;
    for (MeshVertex& vertex : mesh->vertices) vertex.position = matrix.TransformVector(vertex.position);
}

void Model::ComputeBounds() {
    Vec3 lo(1e6f, 1e6f, 1e6f), hi(-1e6f, -1e6f, -1e6f);
    if (mesh) {
        for (const MeshVertex& vertex : mesh->vertices) {
            const Vec3& p = vertex.position;
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
    }
    float* los[3] = {&lo.x, &lo.y, &lo.z};
    float* his[3] = {&hi.x, &hi.y, &hi.z};
    for (int axis = 0; axis < 3; ++axis) {
        if (*los[axis] == *his[axis]) *los[axis] -= 0.001f, *his[axis] += 0.001f;
    }
    boundsMin = lo;
    boundsMax = hi;
    centre = lo.Add(hi).Scale(0.5f);
    float largest = 0.0f;
    if (mesh) {
        for (const MeshVertex& vertex : mesh->vertices) {
            largest = std::max(largest, vertex.position.Sub(centre).LengthSquared());
        }
    }
    radius = std::sqrt(largest);
}

MeshModel::MeshModel() = default;

MeshModel::~MeshModel() { ReleaseBuffers(); }

void MeshModel::GetVertexPosition(int vertex, int batch, Vec3& out) const {
    const MeshBatch* b = GetBatch(batch);
    out = b != nullptr ? ReadPosition(*b, vertex) : Vec3();
}

void MeshModel::GetVertexNormal(int vertex, int batch, Vec3& out) const {
    const MeshBatch* b = GetBatch(batch);
    out = b != nullptr ? UnpackNormal(ReadWord(*b, vertex, 12)) : Vec3();
}

void MeshModel::GetVertexTangentFrame(int vertex, int batch, Vec3& tangent, Vec3& bitangent) const {
    const MeshBatch* b = GetBatch(batch);
    if (b == nullptr || (b->vertexFormat != 4 && b->vertexFormat != 5)) {
        tangent = kAxisX;
        bitangent = kAxisY;
        return;
    }
    const Vec4 packed = UnpackVec4(ReadWord(*b, vertex, 16));
    const float w = packed.w >= 0.0f ? 1.0f : -1.0f;
    tangent = Vec3(packed.x, packed.y, packed.z).Scale(w);
    Vec3 normal;
    GetVertexNormal(vertex, batch, normal);
    bitangent = normal.Cross(tangent);
}

void MeshModel::GetTriangleCorners(int triangle, Vec3& a, Vec3& b, Vec3& c) const {
    const RenderTriangle* t = GetTriangle(triangle);
    if (t == nullptr) {
        a = b = c = Vec3();
        return;
    }
    GetVertexPosition(t->i0, t->batch, a);
    GetVertexPosition(t->i1, t->batch, b);
    GetVertexPosition(t->i2, t->batch, c);
}

void MeshModel::GetTriangleNormals(int triangle, Vec3& a, Vec3& b, Vec3& c) const {
    const RenderTriangle* t = GetTriangle(triangle);
    if (t == nullptr) {
        a = b = c = Vec3();
        return;
    }
    GetVertexNormal(t->i0, t->batch, a);
    GetVertexNormal(t->i1, t->batch, b);
    GetVertexNormal(t->i2, t->batch, c);
}

void MeshModel::DrawNormalLines(RenderDevice* device) const {
    RenderDevice* target = LineDevice(device);
    if (target == nullptr || !batches) return;
    const float length = std::min(0.25f * radius, 0.5f);
    std::vector<ColouredVertex> lines;
    for (int b = 0; b < batches->BatchCount(); ++b) {
        for (int v = 0; v < batches->batches[static_cast<std::size_t>(b)].vertexCount; ++v) {
            Vec3 p, n;
            GetVertexPosition(v, b, p);
            GetVertexNormal(v, b, n);
            AddLine(lines, p, p.Add(n.Scale(length)), Argb(0, 64, 64), Argb(0, 255, 255));
        }
    }
    if (!lines.empty()) target->DrawVertexColoured(lines.data(), static_cast<int>(lines.size()));
}

void MeshModel::DrawTangentLines(RenderDevice* device) const {
    RenderDevice* target = LineDevice(device);
    if (target == nullptr || !batches) return;
    const float length = std::min(0.125f * radius, 0.25f);
    std::vector<ColouredVertex> lines;
    for (int b = 0; b < batches->BatchCount(); ++b) {
        for (int v = 0; v < batches->batches[static_cast<std::size_t>(b)].vertexCount; ++v) {
            Vec3 p, n, t, bt;
            GetVertexPosition(v, b, p);
            GetVertexNormal(v, b, n);
            GetVertexTangentFrame(v, b, t, bt);
            const Vec3 origin = p.Add(n.Scale(0.001f));
            AddLine(lines, origin, origin.Add(t.Scale(length)), Argb(0, 128, 0), Argb(0, 255, 0));
            AddLine(lines, origin, origin.Add(bt.Scale(length)), Argb(0, 0, 128), Argb(0, 0, 255));
        }
    }
    if (!lines.empty()) target->DrawVertexColoured(lines.data(), static_cast<int>(lines.size()));
}

BatchTable* MeshModel::SetLockFlags(int mode) {
    if (batches) {
        if (mode == 1) {
            batches->lockFlags |= 0x2;
        } else if (mode != 0) {
            batches->lockFlags |= 0x1;
        }
    }
    return batches.get();
}

void MeshModel::ReleaseBuffers() {
    if (!batches) return;
    if (GraphicsDevice* device = GetGraphicsDevice()) device->UnbindIndexBuffer();
    for (MeshBatch& batch : batches->batches) {
        if (batch.indexBuffer != nullptr) batch.indexBuffer->Release();
        if (batch.vertexBuffer != nullptr) batch.vertexBuffer->Release();
        delete batch.boneSet;
        batch = MeshBatch();
    }
    batches.reset();
}

void MeshModel::CreateBatchTable() {
    ReleaseBuffers();
    batches = std::make_unique<BatchTable>();
    if (mesh && mesh->triangleCount > 0) batches->triangles.resize(static_cast<std::size_t>(mesh->triangleCount));
}

}  // namespace engine
