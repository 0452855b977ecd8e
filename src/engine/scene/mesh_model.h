#pragma once
// Mesh models: the editable mesh a generated model is built from (vertices and triangles with per-corner data)
// and the drawable form every model has (batches with device buffers, a CPU copy of each batch's vertex bytes
// and indices, and one collision triangle per triangle). Models live in the ModelTable (model_table.h).
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/vector.h"
#include "engine/core/wide_string.h"
#include "engine/render/mesh_batch.h"

namespace sys {
class GpuDevice;
}

namespace engine {

class BoxTree;
class ByteBuffer;
class ModelOctree;
class RenderDevice;
class Skeleton;
struct ModelDescription;

struct MeshVertex {
    std::uint8_t boneIndices[4] = {};
    std::uint8_t boneWeights[4] = {};  // a weight of 0 leaves the influence out
    Vec3 position;
    Vec3 tangent;    // accumulated while building
    Vec3 bitangent;  // accumulated while building
};

struct MeshTriangle {
    std::int32_t corners[3] = {};
    float uv[3][4] = {};  // per corner: u, v of set 0, u, v of set 1
    std::uint32_t colours[3] = {};
    std::int32_t material = 0;
    std::uint16_t smoothingGroups = 0;  // 0 = flat
    Vec3 normals[3];
    Vec3 faceNormal;
    float planeDistance = 0.0f;
};

struct MeshData {
    std::int32_t vertexCount = 0;
    std::int32_t triangleCount = 0;
    std::vector<MeshVertex> vertices;
    std::vector<MeshTriangle> triangles;
};

// A collision triangle: the plane, three vertex indices into its batch, the batch and the source triangle's
// smoothing-group word.
struct RenderTriangle {
    Vec3 normal;
    float planeDistance = 0.0f;
    std::int32_t i0 = 0, i1 = 0, i2 = 0;
    std::uint16_t batch = 0;
    std::uint16_t surface = 0;
};

struct BatchTable {
    std::vector<MeshBatch> batches;
    std::vector<RenderTriangle> triangles;
    std::int32_t lockFlags = 0;
    int BatchCount() const { return static_cast<int>(batches.size()); }
    int TriangleCount() const { return static_cast<int>(triangles.size()); }
};

// One future batch while a model is built: material, stretch of the sorted triangle order, batch index and
// bone set.
struct BatchEntry {
    std::int32_t material = 0;
    std::int32_t first = 0;
    std::int32_t count = 0;
    std::int32_t batch = 0;
    BoneSet bones;
};

class Model {
public:
    virtual ~Model();
    // Destroys the model and frees its table slot.
    virtual void Delete();
    virtual void Prepare() = 0;
    virtual void GetVertexPosition(int vertex, int batch, Vec3& out) const = 0;
    virtual void GetVertexNormal(int vertex, int batch, Vec3& out) const = 0;
    virtual void GetVertexTangentFrame(int vertex, int batch, Vec3& tangent, Vec3& bitangent) const = 0;
    virtual void GetTriangleCorners(int triangle, Vec3& a, Vec3& b, Vec3& c) const = 0;
    virtual void GetTriangleNormals(int triangle, Vec3& a, Vec3& b, Vec3& c) const = 0;
    virtual void DrawNormalLines(RenderDevice* device = nullptr) const = 0;
    virtual void DrawTangentLines(RenderDevice* device = nullptr) const = 0;
    virtual BatchTable* SetLockFlags(int mode) = 0;
    virtual bool BuildVertexBuffer(int batchIndex, const BatchEntry& entry) = 0;
    virtual std::unique_ptr<ByteBuffer> SaveToBuffer() const = 0;
    virtual void ReleaseBuffers() = 0;
    virtual void CreateBatchTable() = 0;
    virtual bool LoadFromBuffer(const ByteBuffer& buffer, const WideString& name) = 0;
    virtual void WriteVertexStream(ByteBuffer& buffer, int batch) const = 0;

    // Takes the lowest free table slot (handle 0 when none is free), records the current resource group and
    // allocates a zero-filled mesh when either count is non-zero. The creator enters the model (Enter).
    bool Init(const WideString& name, int vertexCount, int triangleCount);
    // Puts the model into its slot; false (nothing entered) with handle 0.
    bool Enter();

    // Three orange axis lines through the origin and a red cross at every batch centre.
    void DrawBoundsCross(RenderDevice* device = nullptr) const;
    // Every mesh vertex position times the matrix's 3x3 part.
    void TransformVertices(const Matrix44& matrix);
    // Bounds, centre and radius from the mesh vertices.
    void ComputeBounds();

    const WideString& GetName() const { return name; }
    int GetHandle() const { return handle; }
    int GetGroup() const { return group; }
    Aabb GetBounds() const { return {boundsMin, boundsMax}; }
    int GetBatchCount() const { return batches ? batches->BatchCount() : 0; }
    const MeshBatch* GetBatch(int index) const;
    int GetTriangleCount() const { return batches ? batches->TriangleCount() : 0; }
    const RenderTriangle* GetTriangle(int index) const;

    WideString name;
    std::unique_ptr<MeshData> mesh;
    std::unique_ptr<BatchTable> batches;
    float radius = 0.0f;
    Vec3 boundsMin, boundsMax, centre;
    int group = 0;
    int handle = 0;
    int vertexFormat = 4;
    int normalsReady = 0;
    std::unique_ptr<Skeleton> skeleton;
    std::unique_ptr<BoxTree> boxTree;
    std::unique_ptr<ModelOctree> octree;
    std::uint8_t fileVersion = 0;
    int triangleCursor = 0;  // next collision triangle to fill while batches are built
};

class MeshModel final : public Model {
public:
    MeshModel();
    ~MeshModel() override;

    void Prepare() override {}
    void GetVertexPosition(int vertex, int batch, Vec3& out) const override;
    void GetVertexNormal(int vertex, int batch, Vec3& out) const override;
    void GetVertexTangentFrame(int vertex, int batch, Vec3& tangent, Vec3& bitangent) const override;
    void GetTriangleCorners(int triangle, Vec3& a, Vec3& b, Vec3& c) const override;
    void GetTriangleNormals(int triangle, Vec3& a, Vec3& b, Vec3& c) const override;
    void DrawNormalLines(RenderDevice* device = nullptr) const override;
    void DrawTangentLines(RenderDevice* device = nullptr) const override;
    BatchTable* SetLockFlags(int mode) override;
    bool BuildVertexBuffer(int batchIndex, const BatchEntry& entry) override;
    std::unique_ptr<ByteBuffer> SaveToBuffer() const override;
    void ReleaseBuffers() override;
    void CreateBatchTable() override;
    bool LoadFromBuffer(const ByteBuffer& buffer, const WideString& name) override;
    void WriteVertexStream(ByteBuffer& buffer, int batch) const override;

    // The building pipeline (mesh_finalise.cpp).
    // vertexFormat 4; face normals, smoothing and tangents and bounds when there is a triangle; then batches.
    // False when the batches cannot be built (too many, or a device buffer refused).
    bool Finalise();
    void ComputeFaceNormals();
    void SmoothNormalsAndTangents();
    bool BuildBatches();
    void CopyUVSet0ToSet1();
    void SetWhiteCornerColours();
    void WeldVertices();
    // 0 done (or n = 0), 2 when memory could not be had (the model unchanged).
    int Subdivide(int n);
    // The batch material of a collision triangle when at least 1 and not flagged, else 0.
    int GetVisibleTriangleMaterial(int triangle) const;

    // Takes a validated description (model_file.h): batches, triangles, bounds, skeleton and trees move into
    // the model and the device buffers are made. False (the model left without batches) when a buffer is
    // refused.
    bool Upload(ModelDescription&& description);

    // The format the batches are built in (4; the authoring tool builds skinned models in 5) and the bone
    // limit of the bone split that overrides the engine's (0: the engine's).
    int buildFormat = 4;
    int boneLimitOverride = 0;
    // The platform the bone split asks about (0: the engine's; without an engine the PC).
    int platformOverride = 0;
    // A model of more batches than this cannot be saved (the file's batch count is 16-bit).
    static constexpr int kMaxBatches = 32767;
    static constexpr int kMaxBatchTriangles = 21800;

private:
    // The sorted triangle order while batches are built.
    std::vector<int> buildOrder_;
    void SplitBatchesByDirection(std::vector<BatchEntry>& entries, std::vector<int>& order) const;
    void SplitBatchesByBones(std::vector<BatchEntry>& entries, std::vector<int>& order) const;
};

// Frees the shared scratch buffers of batch building.
void FreeStaticBuffers();
// Makes the batch's managed vertex and index buffers on the engine's device from its CPU copies. True with
// no device (the batch then draws nothing); false when the device refuses a buffer.
bool CreateDeviceBuffers(MeshBatch& batch);
// The same on a given device (null: none).
bool CreateDeviceBuffers(MeshBatch& batch, sys::GpuDevice* device);

}  // namespace engine
