#pragma once
// Triangle gathering and ray picking over models' collision triangles (in model space), by scanning them or
// through a model file's box tree; the box and segment tests they rest on; and the collision volume, the cube
// that stands for a box node.
#include <cstdint>
#include <vector>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "engine/scene/pick_segment.h"

namespace engine {

class BoxTree;
class Camera;
class MaterialDef;
class MeshModel;
class Model;
class SceneNode;

// The start-up record's switches that the queries read, copied by the model table's init hook.
struct ModelQueryOptions {
    int flaggedMaterialQueries = 0;  // 1: materials with flag 0x1 take part in gathering and tree picking
    int animatedMeshPicking = 0;     // 1: type-7 nodes are picked
    float cullMargin = 0.0f;         // added to batch radii in the octree query
};
ModelQueryOptions& GetModelQueryOptions();

struct TriangleListEntry {
    SceneNode* node = nullptr;
    std::int32_t triangle = 0;
    std::int32_t material = 0;  // never 0: "Default" stands in
    Vec3 planeNormal;
    float planeDistance = 0.0f;
    Vec3 corners[3];
    Vec3 normals[3];
};

class TriangleList {
public:
    explicit TriangleList(int capacity = 100);
    // Appends one entry (growing first when full): corners through world as points, normals and the face
    // normal as vectors; material 0 becomes "Default".
    void Add(const Matrix44& world, int triangle, SceneNode* node, const Vec3& a, const Vec3& b, const Vec3& c,
             const Vec3& na, const Vec3& nb, const Vec3& nc, const Vec3& face, int material);
    // capacity += capacity / 4 from 400, else += 100.
    void Grow();
    void Clear() { count_ = 0; }
    int GetCount() const { return count_; }
    int GetCapacity() const { return static_cast<int>(entries_.size()); }
    const TriangleListEntry& Get(int i) const { return entries_[static_cast<std::size_t>(i)]; }

private:
    std::vector<TriangleListEntry> entries_;
    int count_ = 0;
};

// The engine's shared list (room for 1250 at first).
TriangleList& GetSharedTriangleList();

// The query box of a gather: Q in query space and the inverse of the query-space matrix.
struct QueryBox {
    Aabb box;
    Matrix44 inverseMatrix;
};

struct ModelRayHit {
    Matrix44 world;
    Vec3 point;  // in the node's model or box space
    SceneNode* node = nullptr;
    std::int32_t material = 0;
    std::int32_t triangle = -1;
    std::int32_t backFace = 0;
};

// Adds the model's triangles that meet the query box to the list. modelToQuery takes model space into query
// space; world is the node's world matrix.
void GatherModelTriangles(const MeshModel& model, SceneNode* node, const QueryBox& query,
                          const Matrix44& modelToQuery, const Matrix44& world, TriangleList& list);
void GatherBoxTreeTriangles(const BoxTree& tree, const Aabb& box, SceneNode* node, const MeshModel& model,
                            const QueryBox& query, const Matrix44& world, int defaultMaterial, TriangleList& list);

// 1 and the hit when the model is hit nearer than best (best updated, as a fraction of the segment).
int RayTestModel(const MeshModel& model, const PickSegment& segment, float& best, ModelRayHit& hit,
                 SceneNode* node, const Matrix44& world, int backFaces);
int RayTestBoxTree(const BoxTree& tree, const MeshModel& model, const Vec3& o, const Vec3& d, float& best,
                   ModelRayHit& hit, SceneNode* node, const Matrix44& world, int defaultMaterial, int backFaces);
// Pick of a type-10 node's box; the hit material is the collision volume's.
int RayTestBox(ModelRayHit& hit, const Aabb& box, const PickSegment& segment, float& best, SceneNode* node,
               const Matrix44& world);

// 0 miss, 1 hit at t, -1 (t = 0) when the start lies inside the box.
int RayAabbIntersect(const Vec3& o, const Vec3& d, const Aabb& box, float& t);
int RaySphereTest(const Vec3& centre, const Vec3& start, float radius, const Vec3& direction);
bool SegmentOverlapsBox(const Aabb& box, const Vec3& o, const Vec3& d);
bool TriangleBoxOverlap(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& centre, const Vec3& halfSize);
bool PlaneBoxOverlap(const Vec3& normal, float d, const Vec3& halfSize);
// False when on some axis all three corners lie strictly below the box's minimum or above its maximum.
bool TriangleMayTouchBox(const Vec3& a, const Vec3& b, const Vec3& c, const Aabb& box);

// Whether a material (a MaterialLib handle) is flagged out of queries: its flag 0x1 while the switch is off.
bool IsMaterialFlagged(int material);
// The batch's material, else the node's, else the default.
int TriangleMaterial(const MeshModel& model, int triangle, int nodeMaterial, int defaultMaterial);

// The "$$$ColVol" model and material; made by the table's hook at engine start.
bool CreateCollisionVolumeAssets();
int GetCollisionVolumeMaterial();
int GetCollisionVolumeModel();
// Sets scale(box size) + translate(box centre), then world, as the camera's world matrix and draws the
// collision-volume model's batch 0 with the material.
void DrawCollisionVolume(const Aabb& box, Camera& view, const Matrix44& world, MaterialDef& material);

}  // namespace engine
