// The editable mesh's building steps: face normals with texture-coordinate normalisation, smoothing by
// smoothing groups with tangent frames, welding and subdivision.
#include <algorithm>
#include <cmath>
#include <new>

#include "engine/core/sort_array.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_queries.h"

namespace engine {
namespace {

// Shifts three values by whole units so that their smallest (the first taken at most 100000) lands in
// [0, 1]: up while below 0, down while above 1. Non-finite values become 0 first.
void ShiftIntoUnit(float* a, float* b, float* c) {
    float* values[3] = {a, b, c};
    for (float* value : values) {
        if (!std::isfinite(*value)) *value = 0.0f;
    }
    const float smallest = std::min({std::min(*a, 100000.0f), *b, *c});
    float shift = 0.0f;
    if (smallest < 0.0f) {
        shift = std::ceil(-smallest);
    } else if (smallest > 1.0f) {
        shift = -std::ceil(smallest - 1.0f);
    }
    if (shift != 0.0f) {
        for (float* value : values) {
            *value += shift;
            // A shift across most of the float range can overflow.
            if (!std::isfinite(*value)) *value = 0.0f;
        }
    }
}

void NormaliseUVs(MeshTriangle& t) {
    for (int set = 0; set < 2; ++set) {
        const int u = set * 2, v = set * 2 + 1;
        ShiftIntoUnit(&t.uv[0][u], &t.uv[1][u], &t.uv[2][u]);
        ShiftIntoUnit(&t.uv[0][v], &t.uv[1][v], &t.uv[2][v]);
        while (t.uv[0][u] > 16.0f || t.uv[1][u] > 16.0f || t.uv[2][u] > 16.0f) {
            for (auto& corner : t.uv) corner[u] *= 0.5f;
        }
    }
}

struct CornerRecord {
    Vec3 position;
    std::uint32_t mask;
    Vec3 normal;
    Vec3 faceNormal;
    int triangle;
    int corner;
};

int CompareCorners(const void* pa, const void* pb) {
    const auto* a = static_cast<const CornerRecord*>(pa);
    const auto* b = static_cast<const CornerRecord*>(pb);
    const int byPosition = CompareVec3EpsAsc(a->position, b->position);
    if (byPosition != 0) return byPosition;
    return a->mask < b->mask ? -1 : (a->mask > b->mask ? 1 : 0);
}

bool SamePosition(const Vec3& a, const Vec3& b) {
    return std::fabs(a.x - b.x) <= kPositionEpsilon && std::fabs(a.y - b.y) <= kPositionEpsilon &&
           std::fabs(a.z - b.z) <= kPositionEpsilon;
}

}  // namespace

void MeshModel::ComputeFaceNormals() {
    if (!mesh) return;
    for (MeshTriangle& t : mesh->triangles) {
        const Vec3& p0 = mesh->vertices[static_cast<std::size_t>(t.corners[0])].position;
        const Vec3& p1 = mesh->vertices[static_cast<std::size_t>(t.corners[1])].position;
        const Vec3& p2 = mesh->vertices[static_cast<std::size_t>(t.corners[2])].position;
        const Vec3 cross = p1.Sub(p0).Cross(p2.Sub(p0));
        const float length = cross.Length();
        const bool repeated = t.corners[0] == t.corners[1] || t.corners[1] == t.corners[2] || t.corners[0] == t.corners[2];
        t.faceNormal = repeated || length == 0.0f || !std::isfinite(length) ? kAxisZ : cross.Scale(1.0f / length);
        t.planeDistance = t.faceNormal.Dot(p0);
        NormaliseUVs(t);
    }
    normalsReady = 1;
}

void MeshModel::SmoothNormalsAndTangents() {
    if (!mesh) return;
    for (MeshVertex& v : mesh->vertices) v.tangent = v.bitangent = Vec3();
    const int triangles = mesh->triangleCount;
    std::vector<CornerRecord> records(static_cast<std::size_t>(triangles) * 3);
    for (int i = 0; i < triangles; ++i) {
        MeshTriangle& t = mesh->triangles[static_cast<std::size_t>(i)];
        for (int c = 0; c < 3; ++c) {
            t.normals[c] = t.faceNormal;
            records[static_cast<std::size_t>(i) * 3 + c] = {mesh->vertices[static_cast<std::size_t>(t.corners[c])].position,
                                                            t.smoothingGroups, t.faceNormal, t.faceNormal, i, c};
        }
    }
    SortArray(records.data(), static_cast<int>(records.size()), sizeof(CornerRecord), CompareCorners);
    std::size_t start = 0;
    while (start < records.size()) {
        std::size_t end = start + 1;
        while (end < records.size() && SamePosition(records[end].position, records[start].position)) ++end;
        for (std::size_t m = start; m < end; ++m) {
            CornerRecord& rm = records[m];
            // A flat corner (mask 0) never takes another face's normal.
            for (std::size_t l = start; l < end && rm.mask != 0; ++l) {
                if (l == m || (rm.mask & records[l].mask) == 0) continue;
                rm.mask |= records[l].mask;
                rm.normal.AddInPlace(records[l].faceNormal);
            }
            mesh->triangles[static_cast<std::size_t>(rm.triangle)].normals[rm.corner] = rm.normal;
        }
        start = end;
    }
    for (MeshTriangle& t : mesh->triangles) {
        for (Vec3& n : t.normals) {
            const float length = n.Length();
            n = length < 1.1920929e-7f || !std::isfinite(length) ? t.faceNormal : n.Scale(1.0f / length);
        }
        MeshVertex& v0 = mesh->vertices[static_cast<std::size_t>(t.corners[0])];
        MeshVertex& v1 = mesh->vertices[static_cast<std::size_t>(t.corners[1])];
        MeshVertex& v2 = mesh->vertices[static_cast<std::size_t>(t.corners[2])];
        const Vec3 e1 = v1.position.Sub(v0.position), e2 = v2.position.Sub(v0.position);
        const float du1 = t.uv[1][2] - t.uv[0][2], dv1 = t.uv[1][3] - t.uv[0][3];
        const float du2 = t.uv[2][2] - t.uv[0][2], dv2 = t.uv[2][3] - t.uv[0][3];
        const float det = du1 * dv2 - du2 * dv1;
        // A triangle without a usable texture mapping adds no tangent.
        if (!(std::fabs(det) >= 1e-9f)) continue;
        const float r = 1.0f / det;
        const Vec3 tangent = e1.Scale(dv2).Sub(e2.Scale(dv1)).Scale(r);
        const Vec3 bitangent = e2.Scale(du1).Sub(e1.Scale(du2)).Scale(r);
        for (MeshVertex* v : {&v0, &v1, &v2}) {
            v->tangent.AddInPlace(tangent);
            v->bitangent.AddInPlace(bitangent);
        }
    }
}

void MeshModel::CopyUVSet0ToSet1() {
    if (!mesh) return;
    for (MeshTriangle& t : mesh->triangles) {
        for (auto& corner : t.uv) corner[2] = corner[0], corner[3] = corner[1];
    }
}

void MeshModel::SetWhiteCornerColours() {
    if (!mesh) return;
    for (MeshTriangle& t : mesh->triangles) std::fill(t.colours, t.colours + 3, 0xFFFFFFFFu);
}

void MeshModel::WeldVertices() {
    if (!mesh) return;
    struct Record {
        Vec3 position;
        int triangle;
        int corner;
    };
    std::vector<Record> records;
    records.reserve(static_cast<std::size_t>(mesh->triangleCount) * 3);
    for (int i = 0; i < mesh->triangleCount; ++i) {
        for (int c = 0; c < 3; ++c) {
            const int vertex = mesh->triangles[static_cast<std::size_t>(i)].corners[c];
            records.push_back({mesh->vertices[static_cast<std::size_t>(vertex)].position, i, c});
        }
    }
    SortArray(records.data(), static_cast<int>(records.size()), sizeof(Record), [](const void* a, const void* b) {
        return CompareVec3EpsAsc(static_cast<const Record*>(a)->position, static_cast<const Record*>(b)->position);
    });
    std::vector<MeshVertex> welded;
    const Record* opener = nullptr;
    for (const Record& record : records) {
        if (opener == nullptr || CompareVec3Eps(opener->position, record.position) != 0) {
            opener = &record;
            MeshVertex vertex;
            vertex.position = record.position;
            welded.push_back(vertex);
        }
        mesh->triangles[static_cast<std::size_t>(record.triangle)].corners[record.corner] =
            static_cast<int>(welded.size()) - 1;
    }
    mesh->vertices = std::move(welded);
    mesh->vertexCount = static_cast<int>(mesh->vertices.size());
}

int MeshModel::Subdivide(int n) {
    if (!mesh || n <= 0) return 0;
    const int segments = n + 1;
    const float step = 1.0f / static_cast<float>(segments);
    std::vector<MeshVertex> vertices;
    std::vector<MeshTriangle> triangles;
    try {
        const std::size_t perTriangle = static_cast<std::size_t>(n + 2) * static_cast<std::size_t>(n + 3) / 2;
        vertices.reserve(perTriangle * mesh->triangles.size());
        triangles.reserve(static_cast<std::size_t>(segments) * segments * mesh->triangles.size());
        for (const MeshTriangle& source : mesh->triangles) {
            const int base = static_cast<int>(vertices.size());
            // Grid point (i, j): i steps from corner 0 towards corner 1, j towards corner 2.
            auto weights = [step](int i, int j, float w[3]) {
                w[1] = static_cast<float>(i) * step;
                w[2] = static_cast<float>(j) * step;
                w[0] = 1.0f - w[1] - w[2];
            };
            auto pointIndex = [segments, base](int i, int j) {
                // Rows of constant i hold segments + 1 - i points.
                int index = 0;
                for (int r = 0; r < i; ++r) index += segments + 1 - r;
                return base + index + j;
            };
            const Vec3* corner[3] = {&mesh->vertices[static_cast<std::size_t>(source.corners[0])].position,
                                     &mesh->vertices[static_cast<std::size_t>(source.corners[1])].position,
                                     &mesh->vertices[static_cast<std::size_t>(source.corners[2])].position};
            for (int i = 0; i <= segments; ++i) {
                for (int j = 0; j <= segments - i; ++j) {
                    float w[3];
                    weights(i, j, w);
                    MeshVertex vertex;
                    vertex.position = corner[0]->Scale(w[0]).Add(corner[1]->Scale(w[1])).Add(corner[2]->Scale(w[2]));
                    vertices.push_back(vertex);
                }
            }
            auto makeTriangle = [&](int ai, int aj, int bi, int bj, int ci, int cj) {
                MeshTriangle t = source;
                const int grid[3][2] = {{ai, aj}, {bi, bj}, {ci, cj}};
                for (int c = 0; c < 3; ++c) {
                    float w[3];
                    weights(grid[c][0], grid[c][1], w);
                    t.corners[c] = pointIndex(grid[c][0], grid[c][1]);
                    for (int k = 0; k < 4; ++k) {
                        t.uv[c][k] = source.uv[0][k] * w[0] + source.uv[1][k] * w[1] + source.uv[2][k] * w[2];
                    }
                }
                triangles.push_back(t);
            };
            for (int i = 0; i < segments; ++i) {
                for (int j = 0; j < segments - i; ++j) {
                    makeTriangle(i, j, i + 1, j, i, j + 1);
                    if (j < segments - i - 1) makeTriangle(i + 1, j, i + 1, j + 1, i, j + 1);
                }
            }
        }
    } catch (const std::bad_alloc&) {
        return 2;
    }
    mesh->vertices = std::move(vertices);
    mesh->triangles = std::move(triangles);
    mesh->vertexCount = static_cast<int>(mesh->vertices.size());
    mesh->triangleCount = static_cast<int>(mesh->triangles.size());
    WeldVertices();
    return 0;
}

int MeshModel::GetVisibleTriangleMaterial(int triangle) const {
    const RenderTriangle* t = GetTriangle(triangle);
    if (t == nullptr) return 0;
    const MeshBatch* batch = GetBatch(t->batch);
    if (batch == nullptr || batch->material < 1) return 0;
    return IsMaterialFlagged(batch->material) ? 0 : batch->material;
}

}  // namespace engine
