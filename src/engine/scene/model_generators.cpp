#include "engine/scene/model_generators.h"

#include <cmath>
#include <new>

#include "engine/core/scalar_math.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_table.h"

namespace engine {
namespace {

MeshModel* g_nullCube = nullptr;
int g_nullCubeHandle = 0;

void SetCorner(MeshTriangle& t, int corner, float u, float v) {
    t.uv[corner][0] = t.uv[corner][2] = u;
    t.uv[corner][1] = t.uv[corner][3] = v;
}

void SetTriangle(MeshTriangle& t, int a, int b, int c, std::uint16_t mask = 0, int material = 0) {
    t.corners[0] = a, t.corners[1] = b, t.corners[2] = c;
    t.smoothingGroups = mask;
    t.material = material;
}

}  // namespace

MeshModel* NewMeshModel(const WideString& name, int vertexCount, int triangleCount) {
    auto* model = new (std::nothrow) MeshModel();
    if (model == nullptr) return nullptr;
    // A full table gives handle 0: the model is not kept.
    if (!model->Init(name, vertexCount, triangleCount) || !model->Enter()) {
        model->handle = 0;
        model->Delete();
        return nullptr;
    }
    return model;
}

int FinishModel(MeshModel* model) {
    if (model == nullptr) return 0;
    if (!model->Finalise()) {
        model->Delete();
        return 0;
    }
    return model->handle;
}

int CreateGridModel(const WideString& name, float width, float depth, int plane, int n) {
    if (n < 1) n = 1;
    const int side = n + 1;
    MeshModel* model = NewMeshModel(name, side * side, 2 * n * n);
    if (model == nullptr) return 0;
    MeshData& mesh = *model->mesh;
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= n; ++j) {
            const float a = static_cast<float>(j) * width / static_cast<float>(n) - width / 2;
            const float b = depth / 2 - static_cast<float>(i) * depth / static_cast<float>(n);
            Vec3& p = mesh.vertices[static_cast<std::size_t>(i * side + j)].position;
            p = plane == 1 ? Vec3(a, 0, b) : plane == 2 ? Vec3(0, a, b) : Vec3(a, b, 0);
        }
    }
    std::size_t next = 0;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const int s = i * side + j;
            MeshTriangle& first = mesh.triangles[next++];
            SetTriangle(first, s, s + n + 2, s + n + 1);
            SetCorner(first, 0, 0, 0), SetCorner(first, 1, 1, 1), SetCorner(first, 2, 0, 1);
            MeshTriangle& second = mesh.triangles[next++];
            SetTriangle(second, s, s + 1, s + n + 2);
            SetCorner(second, 0, 0, 0), SetCorner(second, 1, 1, 0), SetCorner(second, 2, 1, 1);
        }
    }
    model->SetWhiteCornerColours();
    model->CopyUVSet0ToSet1();
    return FinishModel(model);
}

int CreateBoxModel(const Aabb& box, const WideString& name, int n) {
    MeshModel* model = NewMeshModel(name, 8, 12);
    if (model == nullptr) return 0;
    MeshData& mesh = *model->mesh;
    const Vec3& m = box.min;
    const Vec3& M = box.max;
    const Vec3 corners[8] = {{m.x, m.y, m.z}, {M.x, m.y, m.z}, {M.x, M.y, m.z}, {m.x, M.y, m.z},
                             {m.x, m.y, M.z}, {M.x, m.y, M.z}, {M.x, M.y, M.z}, {m.x, M.y, M.z}};
    for (int i = 0; i < 8; ++i) mesh.vertices[static_cast<std::size_t>(i)].position = corners[i];
    static const int kTriangles[12][3] = {{0, 2, 1}, {0, 3, 2}, {5, 7, 4}, {5, 6, 7}, {4, 3, 0}, {4, 7, 3},
                                          {1, 6, 5}, {1, 2, 6}, {4, 1, 5}, {4, 0, 1}, {3, 6, 2}, {3, 7, 6}};
    // The face's axis per triangle pair (z, z, x, x, y, y); the corner's texture coordinates are its two
    // other coordinates mapped to 0 at the box minimum and 1 at the maximum.
    static const int kFaceAxis[6] = {2, 2, 0, 0, 1, 1};
    for (int t = 0; t < 12; ++t) {
        MeshTriangle& tri = mesh.triangles[static_cast<std::size_t>(t)];
        SetTriangle(tri, kTriangles[t][0], kTriangles[t][1], kTriangles[t][2]);
        const int axis = kFaceAxis[t / 2];
        const int uAxis = axis == 0 ? 2 : 0;
        const int vAxis = axis == 1 ? 2 : 1;
        for (int c = 0; c < 3; ++c) {
            const int corner = kTriangles[t][c];
            const bool hiX = (corner == 1 || corner == 2 || corner == 5 || corner == 6);
            const bool hiY = (corner == 2 || corner == 3 || corner == 6 || corner == 7);
            const bool hiZ = corner >= 4;
            const bool hi[3] = {hiX, hiY, hiZ};
            SetCorner(tri, c, hi[uAxis] ? 1.0f : 0.0f, hi[vAxis] ? 0.0f : 1.0f);
        }
    }
    model->CopyUVSet0ToSet1();
    if (n != 0) model->Subdivide(n);
    model->SetWhiteCornerColours();
    model->CopyUVSet0ToSet1();
    return FinishModel(model);
}

void ClearNullCubeCache() {
    g_nullCube = nullptr;
    g_nullCubeHandle = 0;
}

MeshModel* GetNullCubeModel() {
    // The cached cube is used only while its slot still holds it (a purge may have freed it).
    if (g_nullCube != nullptr && GetModelByHandle(g_nullCubeHandle) == g_nullCube) return g_nullCube;
    const int handle = CreateBoxModel({{-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}}, WideString("$$$NullCube"), 0);
    g_nullCube = GetMeshModelByHandle(handle);
    g_nullCubeHandle = handle;
    return g_nullCube;
}

int CreateKnotModel() {
    MeshModel* model = NewMeshModel(WideString("$$$Knot"), 242, 480);
    if (model == nullptr) return 0;
    MeshData& mesh = *model->mesh;
    constexpr float kRadius = 0.05f;
    for (int k = 0; k < 16; ++k) {
        for (int a = 0; a < 15; ++a) {
            const float polar = static_cast<float>(a + 1) * 11.25f;
            const float azimuth = static_cast<float>(k) * 22.5f;
            // The azimuth turns from +X towards -Z, which makes the triangles below face outward.
            mesh.vertices[static_cast<std::size_t>(15 * k + a)].position =
                Vec3(SinDeg(polar) * CosDeg(azimuth), CosDeg(polar), -SinDeg(polar) * SinDeg(azimuth)).Scale(kRadius);
        }
    }
    mesh.vertices[240].position = {0, kRadius, 0};
    mesh.vertices[241].position = {0, -kRadius, 0};
    std::size_t next = 0;
    for (int k = 0; k < 16; ++k) {
        const int k2 = (k + 1) % 16;
        for (int a = 0; a < 14; ++a) {
            SetTriangle(mesh.triangles[next++], 15 * k + a, 15 * k + a + 1, 15 * k2 + a + 1, 1);
            SetTriangle(mesh.triangles[next++], 15 * k + a, 15 * k2 + a + 1, 15 * k2 + a, 1);
        }
    }
    for (int k = 0; k < 16; ++k) {
        const int k2 = (k + 1) % 16;
        SetTriangle(mesh.triangles[next++], 240, 15 * k, 15 * k2, 1);
        SetTriangle(mesh.triangles[next++], 241, 15 * k2 + 14, 15 * k + 14, 1);
    }
    model->CopyUVSet0ToSet1();
    model->SetWhiteCornerColours();
    return FinishModel(model);
}

int CreateLatheModel(const WideString& name, const Vec2 profile[5]) {
    MeshModel* model = NewMeshModel(name, 160, 256);
    if (model == nullptr) return 0;
    MeshData& mesh = *model->mesh;
    for (int s = 0; s < 32; ++s) {
        for (int w = 0; w < 5; ++w) {
            mesh.vertices[static_cast<std::size_t>(5 * s + w)].position =
                Vec3(profile[w].x, profile[w].y, 0).RotatedYDeg(static_cast<float>(s) * 11.25f);
        }
    }
    std::size_t next = 0;
    for (int s = 0; s < 32; ++s) {
        const float o = static_cast<float>(31 - s) / 32.0f;
        for (int w = 0; w < 4; ++w) {
            const int h = 5 * s + w;
            const float g = profile[w + 1].x == 0.0f ? 1.0f : profile[w].x / profile[w + 1].x;
            const float v0 = 0.2f * static_cast<float>(w), v1 = 0.2f * static_cast<float>(w + 1);
            MeshTriangle& first = mesh.triangles[next++];
            SetTriangle(first, h % 160, (h + 1) % 160, (h + 6) % 160, 1);
            SetCorner(first, 0, o + g / 64, v0), SetCorner(first, 1, o + 1.0f / 64, v1), SetCorner(first, 2, o, v1);
            MeshTriangle& second = mesh.triangles[next++];
            SetTriangle(second, h % 160, (h + 6) % 160, (h + 5) % 160, 1);
            SetCorner(second, 0, o + g / 64, v0), SetCorner(second, 1, o, v1), SetCorner(second, 2, o, v0);
        }
    }
    model->SetWhiteCornerColours();
    model->CopyUVSet0ToSet1();
    return FinishModel(model);
}

int CreateSkyboxModel(const WideString& cubeMapName) {
    MaterialLib& lib = GetMaterialLib();
    if (lib.Count() == 0) return 0;
    const int material = lib.Create(cubeMapName.GetNarrow(), 1, 0, 0, 0);
    if (material == 0) return 0;
    MaterialDef* def = lib.Get(material);
    def->SetFlags(0x8);
    if (lib.Textures() != nullptr) def->SetTexture(0, lib.Textures()->LoadCubeMap(cubeMapName));
    const float h = def->GetHalfTexelU();
    MeshModel* model = NewMeshModel(cubeMapName, 8, 12);
    if (model == nullptr) return 0;
    MeshData& mesh = *model->mesh;
    const Vec3 corners[8] = {{-10, -10, 10},  {-10, 10, 10},  {10, 10, 10},  {10, -10, 10},
                             {-10, -10, -10}, {-10, 10, -10}, {10, 10, -10}, {10, -10, -10}};
    for (int i = 0; i < 8; ++i) mesh.vertices[static_cast<std::size_t>(i)].position = corners[i];
    static const int kTriangles[12][3] = {{0, 1, 3}, {1, 2, 3}, {3, 2, 7}, {2, 6, 7}, {7, 6, 4}, {6, 5, 4},
                                          {4, 5, 0}, {5, 1, 0}, {1, 5, 2}, {5, 6, 2}, {4, 0, 7}, {0, 3, 7}};
    const float firstUv[3][2] = {{h, 1 - h}, {h, h}, {1 - h, 1 - h}};
    const float secondUv[3][2] = {{h, h}, {1 - h, h}, {1 - h, 1 - h}};
    for (int t = 0; t < 12; ++t) {
        MeshTriangle& tri = mesh.triangles[static_cast<std::size_t>(t)];
        SetTriangle(tri, kTriangles[t][0], kTriangles[t][1], kTriangles[t][2], static_cast<std::uint16_t>(t / 2 + 1),
                     material);
        const float (*uv)[2] = t % 2 == 0 ? firstUv : secondUv;
        for (int c = 0; c < 3; ++c) SetCorner(tri, c, uv[c][0], uv[c][1]);
    }
    model->SetWhiteCornerColours();
    model->CopyUVSet0ToSet1();
    return FinishModel(model);
}

}  // namespace engine
