// Turning a filled mesh into batches: material order, the direction and bone splits, and per batch the packed
// vertices, first-use numbering, vertex-cache face order and device buffers.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <span>
#include <new>

#include "engine/platform/engine_root.h"
#include "engine/platform/windows_engine.h"
#include "engine/render/graphics_device.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/packed_mesh_vertices.h"
#include "engine/render/vertex_formats.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/skeleton.h"
#include "sys/face_order.h"
#include "sys/gpu_device.h"
#include "sys/gpu_resource.h"

namespace engine {
namespace {

// The shared scratch of BuildVertexBuffer, kept for the run.
struct BuildScratch {
    std::vector<std::uint16_t> remap;       // packed index -> first-use number
    std::vector<std::uint16_t> indices;     // packed indices
    std::vector<std::uint16_t> optimised;   // the optimised index list
    std::vector<std::uint16_t> renumbered;  // first-use numbered indices
    std::vector<std::uint32_t> faceRemap;
};

BuildScratch& Scratch() {
    static BuildScratch scratch;
    return scratch;
}

template <typename T>
bool CopyToBuffer(T* buffer, const void* bytes, std::uint32_t length) {
    void* data = nullptr;
    if (buffer->Lock(0, length, &data, 0) != 0 || data == nullptr) return false;
    std::memcpy(data, bytes, length);
    buffer->Unlock();
    return true;
}

}  // namespace

void FreeStaticBuffers() { Scratch() = BuildScratch(); }

bool CreateDeviceBuffers(MeshBatch& batch) {
    GraphicsDevice* graphics = GetGraphicsDevice();
    return CreateDeviceBuffers(batch, graphics != nullptr ? graphics->Device() : nullptr);
}

bool CreateDeviceBuffers(MeshBatch& batch, sys::GpuDevice* device) {
    if (device == nullptr || batch.indexCount == 0 || batch.vertexCount == 0) return true;
    const auto indexBytes = static_cast<std::uint32_t>(batch.indices.size() * 2);
    const auto vertexBytes = static_cast<std::uint32_t>(batch.vertexData.size());
    batch.indexBuffer = device->CreateIndexBuffer(indexBytes, 0, sys::kFmtIndex16, sys::kPoolManaged);
    batch.vertexBuffer = device->CreateVertexBuffer(vertexBytes, 0, sys::kPoolManaged);
    const bool made = batch.indexBuffer != nullptr && batch.vertexBuffer != nullptr &&
                      CopyToBuffer(batch.indexBuffer, batch.indices.data(), indexBytes) &&
                      CopyToBuffer(batch.vertexBuffer, batch.vertexData.data(), vertexBytes);
    if (!made) {
        if (batch.indexBuffer != nullptr) batch.indexBuffer->Release();
        if (batch.vertexBuffer != nullptr) batch.vertexBuffer->Release();
        batch.indexBuffer = nullptr;
        batch.vertexBuffer = nullptr;
    }
    return made;
}

bool MeshModel::Finalise() {
    vertexFormat = 4;
    if (mesh && mesh->triangleCount > 0) {
        ComputeFaceNormals();
        SmoothNormalsAndTangents();
        ComputeBounds();
    }
    return BuildBatches();
}

bool MeshModel::BuildBatches() {
    CreateBatchTable();
    const int triangles = mesh ? mesh->triangleCount : 0;
    std::vector<BatchEntry> entries;
    try {
        buildOrder_.resize(static_cast<std::size_t>(triangles));
        for (int i = 0; i < triangles; ++i) buildOrder_[static_cast<std::size_t>(i)] = i;
        const std::vector<MeshTriangle>& tris = mesh->triangles;
        std::stable_sort(buildOrder_.begin(), buildOrder_.end(), [&tris](int a, int b) {
            return tris[static_cast<std::size_t>(a)].material < tris[static_cast<std::size_t>(b)].material;
        });
        for (int n = 0; n < triangles; ++n) {
            const int material = tris[static_cast<std::size_t>(buildOrder_[static_cast<std::size_t>(n)])].material;
            if (entries.empty() || entries.back().material != material || entries.back().count >= kMaxBatchTriangles) {
                BatchEntry entry;
                entry.material = material;
                entry.first = n;
                entries.push_back(entry);
            }
            ++entries.back().count;
        }
        SplitBatchesByDirection(entries, buildOrder_);
        SplitBatchesByBones(entries, buildOrder_);
    } catch (const std::bad_alloc&) {
        buildOrder_.clear();
        return false;
    }
    // The file stores the batch count in 16 bits.
    if (static_cast<int>(entries.size()) > kMaxBatches) {
        buildOrder_.clear();
        return false;
    }
    batches->batches.resize(entries.size());
    triangleCursor = 0;
    bool built = true;
    for (std::size_t n = 0; n < entries.size() && built; ++n) {
        BatchEntry& entry = entries[n];
        entry.batch = static_cast<int>(n);
        MeshBatch& batch = batches->batches[n];
        batch.vertexFormat = buildFormat;
        batch.material = entry.material;
        Vec3 lo(1e7f, 1e7f, 1e7f), hi(-1e7f, -1e7f, -1e7f);
        for (int k = entry.first; k < entry.first + entry.count; ++k) {
            const MeshTriangle& t = mesh->triangles[static_cast<std::size_t>(buildOrder_[static_cast<std::size_t>(k)])];
            for (int corner : t.corners) {
                const Vec3& p = mesh->vertices[static_cast<std::size_t>(corner)].position;
                lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
                hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
            }
        }
        batch.centre = lo.Add(hi).Scale(0.5f);
        batch.radius = hi.Sub(lo).Length() * 0.5f;
        built = BuildVertexBuffer(static_cast<int>(n), entry);
    }
    buildOrder_.clear();
    buildOrder_.shrink_to_fit();
    if (!built) ReleaseBuffers();
    return built;
}

void MeshModel::SplitBatchesByDirection(std::vector<BatchEntry>& entries, std::vector<int>& order) const {
    const MaterialLib& lib = GetMaterialLib();
    const MaterialDef* first = lib.Count() > 0 ? lib.Get(0) : nullptr;
    if (first == nullptr || first->alphaTestMode != 2) return;
    std::vector<BatchEntry> out;
    for (const BatchEntry& entry : entries) {
        if (entry.material != 0 || entry.count == 0) {
            out.push_back(entry);
            continue;
        }
        std::array<std::vector<int>, 6> buckets;
        for (int k = entry.first; k < entry.first + entry.count; ++k) {
            const int tri = order[static_cast<std::size_t>(k)];
            const MeshTriangle& t = mesh->triangles[static_cast<std::size_t>(tri)];
            Vec3 lo(1e30f, 1e30f, 1e30f), hi(-1e30f, -1e30f, -1e30f);
            for (int corner : t.corners) {
                const Vec3& p = mesh->vertices[static_cast<std::size_t>(corner)].position;
                lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
                hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
            }
            const Vec3 d = lo.Add(hi).Scale(0.5f).Sub(centre);
            const float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z);
            int bucket;
            if (ax > ay && ax > az) {
                bucket = d.x > 0 ? 0 : 1;
            } else if (ay > az && ay > ax) {
                bucket = d.y > 0 ? 2 : 3;
            } else {
                bucket = d.z > 0 ? 4 : 5;
            }
            buckets[static_cast<std::size_t>(bucket)].push_back(tri);
        }
        int at = entry.first;
        for (const std::vector<int>& bucket : buckets) {
            if (bucket.empty()) continue;
            BatchEntry part = entry;
            part.first = at;
            part.count = static_cast<int>(bucket.size());
            for (int tri : bucket) order[static_cast<std::size_t>(at++)] = tri;
            out.push_back(part);
        }
    }
    entries = std::move(out);
}

void MeshModel::SplitBatchesByBones(std::vector<BatchEntry>& entries, std::vector<int>& order) const {
    for (BatchEntry& entry : entries) entry.bones = BoneSet();
    const Engine* engine = GetEngine();
    const int platform =
        platformOverride != 0 ? platformOverride : (engine != nullptr ? engine->GetPlatform() : WindowsEngine::kPlatformPc);
    if (!skeleton || platform == 1) return;
    int limit = boneLimitOverride != 0 ? boneLimitOverride
                                       : (engine != nullptr ? engine->GetMaxBonesPerBatch() : BoneSet::kMaxBones);
    limit = std::clamp(limit, 1, BoneSet::kMaxBones);
    struct Group {
        std::vector<std::uint8_t> bones;
        std::vector<int> triangles;
    };
    std::vector<BatchEntry> out;
    for (const BatchEntry& entry : entries) {
        if (entry.count == 0) {
            out.push_back(entry);
            continue;
        }
        // Groups grow as needed: the table of groups has no fixed size.
        std::vector<Group> groups;
        for (int k = entry.first; k < entry.first + entry.count; ++k) {
            const int tri = order[static_cast<std::size_t>(k)];
            const MeshTriangle& t = mesh->triangles[static_cast<std::size_t>(tri)];
            std::vector<std::uint8_t> set;
            for (int i = 0; i < 4; ++i) {
                for (int corner : t.corners) {
                    const MeshVertex& v = mesh->vertices[static_cast<std::size_t>(corner)];
                    if (v.boneWeights[i] != 0 && std::find(set.begin(), set.end(), v.boneIndices[i]) == set.end()) {
                        set.push_back(v.boneIndices[i]);
                    }
                }
            }
            Group* joined = nullptr;
            for (Group& group : groups) {
                int missing = 0;
                for (std::uint8_t bone : set) {
                    if (std::find(group.bones.begin(), group.bones.end(), bone) == group.bones.end()) ++missing;
                }
                if (static_cast<int>(group.bones.size()) + missing > limit) continue;
                for (std::uint8_t bone : set) {
                    if (std::find(group.bones.begin(), group.bones.end(), bone) == group.bones.end()) {
                        group.bones.push_back(bone);
                    }
                }
                joined = &group;
                break;
            }
            if (joined == nullptr) {
                groups.emplace_back();
                if (static_cast<int>(set.size()) <= limit) groups.back().bones = set;
                joined = &groups.back();
            }
            joined->triangles.push_back(tri);
        }
        int at = entry.first;
        for (const Group& group : groups) {
            BatchEntry part = entry;
            part.first = at;
            part.count = static_cast<int>(group.triangles.size());
            part.bones.count = static_cast<int>(group.bones.size());
            std::copy(group.bones.begin(), group.bones.end(), part.bones.bones);
            for (int tri : group.triangles) order[static_cast<std::size_t>(at++)] = tri;
            out.push_back(part);
        }
    }
    entries = std::move(out);
}

bool MeshModel::BuildVertexBuffer(int b, const BatchEntry& entry) {
    if (!batches || !mesh || b < 0 || b >= batches->BatchCount()) return false;
    MeshBatch& batch = batches->batches[static_cast<std::size_t>(b)];
    delete batch.boneSet;
    batch.boneSet = entry.bones.count >= 1 ? new BoneSet(entry.bones) : nullptr;
    const std::span<const std::uint8_t> remap =
        batch.boneSet != nullptr ? std::span<const std::uint8_t>(batch.boneSet->bones, batch.boneSet->count)
                                 : std::span<const std::uint8_t>();
    BuildScratch& scratch = Scratch();
    PackedMeshVertices packed(batch.vertexFormat);
    const int triangleCount = entry.count;
    const std::size_t indexCount = static_cast<std::size_t>(triangleCount) * 3;
    scratch.indices.resize(indexCount);
    const int firstTriangle = triangleCursor;
    if (firstTriangle + triangleCount > batches->TriangleCount()) return false;
    for (int k = 0; k < triangleCount; ++k) {
        const int tri = buildOrder_.empty() ? entry.first + k : buildOrder_[static_cast<std::size_t>(entry.first + k)];
        const MeshTriangle& t = mesh->triangles[static_cast<std::size_t>(tri)];
        int packedIndex[3];
        for (int corner = 0; corner < 3; ++corner) {
            const MeshVertex& v = mesh->vertices[static_cast<std::size_t>(t.corners[corner])];
            VertexSource source;
            source.position = v.position;
            source.normal = t.normals[corner];
            source.tangent = v.tangent;
            source.bitangent = v.bitangent;
            source.colour = t.colours[corner];
            source.uv0 = {t.uv[corner][0], t.uv[corner][1]};
            source.uv1 = {t.uv[corner][2], t.uv[corner][3]};
            std::copy(v.boneIndices, v.boneIndices + 4, source.boneIndices);
            source.packedWeights = std::uint32_t{v.boneWeights[0]} | (std::uint32_t{v.boneWeights[1]} << 8) |
                                   (std::uint32_t{v.boneWeights[2]} << 16) | (std::uint32_t{v.boneWeights[3]} << 24);
            for (int i = 0; i < 4; ++i) source.boneWeights[i] = v.boneWeights[i] / 255.0f;
            packedIndex[corner] = AddPackedMeshVertex(packed, source, remap);
            if (packedIndex[corner] < 0) return false;
            scratch.indices[static_cast<std::size_t>(k) * 3 + corner] = static_cast<std::uint16_t>(packedIndex[corner]);
        }
        RenderTriangle& rt = batches->triangles[static_cast<std::size_t>(triangleCursor++)];
        rt.i0 = packedIndex[0], rt.i1 = packedIndex[1], rt.i2 = packedIndex[2];
        rt.batch = static_cast<std::uint16_t>(b);
        rt.surface = t.smoothingGroups;
        rt.normal = t.faceNormal;
        rt.planeDistance = t.planeDistance;
    }
    // First-use numbering along the index list.
    scratch.remap.assign(PackedMeshVertices::kMaxVertices, 0xFFFF);
    scratch.renumbered.resize(indexCount);
    int vertexCount = 0;
    std::vector<int> sourceOf;
    sourceOf.reserve(static_cast<std::size_t>(packed.Count()));
    for (std::size_t i = 0; i < indexCount; ++i) {
        std::uint16_t& number = scratch.remap[scratch.indices[i]];
        if (number == 0xFFFF) {
            number = static_cast<std::uint16_t>(vertexCount++);
            sourceOf.push_back(scratch.indices[i]);
        }
        scratch.renumbered[i] = number;
    }
    scratch.faceRemap.resize(static_cast<std::size_t>(triangleCount));
    sys::D3DXOptimizeFaces(scratch.renumbered.data(), static_cast<std::uint32_t>(triangleCount),
                           static_cast<std::uint32_t>(vertexCount), scratch.faceRemap.data());
    batch.indexCount = static_cast<int>(indexCount);
    batch.vertexCount = vertexCount;
    batch.indices.resize(indexCount);
    for (int f = 0; f < triangleCount; ++f) {
        const std::size_t from = static_cast<std::size_t>(scratch.faceRemap[static_cast<std::size_t>(f)]) * 3;
        for (int c = 0; c < 3; ++c) batch.indices[static_cast<std::size_t>(f) * 3 + c] = scratch.renumbered[from + c];
    }
    const int stride = packed.Stride();
    batch.vertexData.resize(static_cast<std::size_t>(vertexCount) * stride);
    for (int v = 0; v < vertexCount; ++v) {
        std::memcpy(batch.vertexData.data() + static_cast<std::size_t>(v) * stride,
                    packed.Bytes().data() + static_cast<std::size_t>(sourceOf[static_cast<std::size_t>(v)]) * stride,
                    static_cast<std::size_t>(stride));
    }
    // The batch's collision triangles keep the source order and address the batch's vertices.
    for (int k = firstTriangle; k < triangleCursor; ++k) {
        RenderTriangle& rt = batches->triangles[static_cast<std::size_t>(k)];
        rt.i0 = scratch.remap[static_cast<std::size_t>(rt.i0)];
        rt.i1 = scratch.remap[static_cast<std::size_t>(rt.i1)];
        rt.i2 = scratch.remap[static_cast<std::size_t>(rt.i2)];
    }
    return CreateDeviceBuffers(batch);
}

}  // namespace engine
