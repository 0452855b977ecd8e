#pragma once
// What one frame draws of a scene tree. A RenderQueue owns the scene root, an optional skybox model, five
// lights and two draw lists (opaque and blended). Build walks the active nodes into the visible-node list,
// deletes finished nodes and turns every node into draw entries, one per drawable piece. A view then takes
// from each list the entries whose spheres touch its frustum, sorts them (opaque by material, blended back to
// front) and draws them, runs of equal mesh batches instanced.
//
// The lists are fixed arrays made once at their capacity; a frame allocates nothing in them and every append
// beyond capacity is refused. Entries point into nodes, models and payloads and are valid until the scene
// changes.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/matrix.h"
#include "engine/scene/light_desc.h"
#include "engine/scene/visible_node_list.h"

namespace engine {

class BillboardList;
class Camera;
class DrawList;
class MaterialDef;
class Model;
class SceneNode;
class SortedBillboardList;

// Node flags the queue reads or sets on entries.
constexpr std::uint32_t kEntryActive = 0x2;
constexpr std::uint32_t kEntryNothingToDraw = 0x4;
constexpr std::uint32_t kEntryAxisArrows = 0x80;
constexpr std::uint32_t kEntryDelete = 0x200;
constexpr std::uint32_t kEntryNoShadow = 0x800;
constexpr std::uint32_t kEntryShowBounds = 0x4000;
constexpr std::uint32_t kEntryShowSpline = 0x8000;

enum DrawEntryKind : std::uint32_t {
    kEntryMesh = 1,
    kEntryDynamicGeometry = 2,
    kEntryEmitter = 4,
    kEntryBillboards = 5,
    kEntrySortedBillboards = 8,
    kEntryBox = 10,
    kEntrySpline = 11,
};

struct DrawEntry {
    void* object = nullptr;  // the model (kind 1) or the payload
    std::uint32_t kind = 0;
    int batch = 0;
    MaterialDef* material = nullptr;
    Matrix44 world;
    float radius = 0.0f;
    Vec4 centre;
    std::uint32_t flags = 0;
    float depth = 0.0f;
    const std::vector<Matrix44>* skin = nullptr;
    int shell = 0;
};

// A list of pointers into a draw list's entries, made once at the list's capacity.
class DrawPointerList {
public:
    enum SortedMark : int { kUnsorted = 0, kOpaqueOrder = 1, kBlendedOrder = 2 };

    void Init(DrawList* owner, int capacity, int blended);
    void Clear() { count_ = 0, sorted_ = kUnsorted; }
    // False when the list is full.
    bool Append(DrawEntry* entry);
    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    DrawEntry* Get(int i) const { return items_[static_cast<std::size_t>(i)]; }
    DrawEntry** Items() { return items_.data(); }
    int Blended() const { return blended_; }
    DrawList* Owner() const { return owner_; }
    int SortedMark() const { return sorted_; }
    void SetSortedMark(int mark) { sorted_ = mark; }
    // Sorts with CompareOpaqueEntries (mark 1) or CompareBlendedEntries (mark 2) unless already in that
    // order; a list of one entry is only marked.
    void SortOpaque();
    void SortBlended();

private:
    std::vector<DrawEntry*> items_;
    int count_ = 0;
    int capacity_ = 0;
    int blended_ = 0;
    DrawList* owner_ = nullptr;
    int sorted_ = kUnsorted;
};

struct OctreeRecord {
    Model* model = nullptr;
    Matrix44 world;
    SceneNode* node = nullptr;
};

class DrawList {
public:
    DrawList(int capacity, int blended);
    DrawList(const DrawList&) = delete;
    DrawList& operator=(const DrawList&) = delete;

    // Forgets the entries, octree records and visible pointers.
    void Clear();
    // The next free entry, zero-filled; null when the list is full.
    DrawEntry* NewEntry();
    // False when the octree records are full.
    bool AddOctreeRecord(Model* model, const Matrix44& world, SceneNode* node);

    // Each batch of the model as a kind-1 entry. 1, or 0 when the handle is invalid or the list filled up
    // (entries made so far stay). The entries go into this list whatever the material's blending.
    int AddModel(int modelHandle, int defaultMaterial, int overrideMaterial, std::uint32_t flags,
                 const Matrix44& world, const std::vector<Matrix44>* skin);
    // One kind-5 or kind-8 entry with the list's material ("Default" when its index is outside the table),
    // centred on the matrix's fourth row. 1, or 0 when the list is full.
    int AddBillboardList(std::uint32_t flags, const Matrix44& world, BillboardList* list);
    int AddSortedBillboardList(std::uint32_t flags, const Matrix44& world, SortedBillboardList* list);
    // The axis arrows of a node with flag 0x80.
    void AddDebugArrows(const Matrix44& world, std::uint32_t nodeFlags);
    // One octree batch: appended to the entries and the visible pointers at once; dropped when full.
    void AddVisitedBatchEntry(const OctreeRecord& record, int batch, int material, const Vec3& centre,
                              float radius);

    // Empties the visible pointers and drops the octree batches of an earlier call, then takes every entry
    // without flag 0x4 whose sphere (grown by the start-up record's cull margin) the camera sees, writing its
    // view depth, then the camera's octree cells.
    DrawPointerList& CollectVisible(const Camera& camera);

    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    int Blended() const { return blended_; }
    DrawEntry& Get(int i) { return entries_[static_cast<std::size_t>(i)]; }
    int OctreeRecordCount() const { return octreeCount_; }
    DrawPointerList& Visible() { return visible_; }
    DrawPointerList& Casters() { return casters_; }

private:
    std::vector<DrawEntry> entries_;
    std::vector<OctreeRecord> octree_;
    int octreeCount_ = 0;
    // Where the octree batches of the last CollectVisible begin (-1: none yet), so that views rendering the
    // same lists one after another (cube faces, split screens) do not pile them up.
    int octreeEntriesStart_ = -1;
    int octreeCapacity_ = 0;
    int count_ = 0;
    int capacity_ = 0;
    int blended_ = 0;
    DrawPointerList visible_;
    DrawPointerList casters_;
};

// Orderings of two DrawEntry* (SortArray comparators over pointer lists).
int CompareOpaqueEntries(const void* a, const void* b);
int CompareBlendedEntries(const void* a, const void* b);
// The length of the run of equal mesh batches (model, batch, material) starting at position: 0 when the
// device is not at shader model 3, the entry is not a mesh batch, is skinned or not of format 4; 1 at the end
// of the list or when the next model differs.
int CountInstanceRun(int position, const DrawPointerList& list, bool shaderModel3);
// The same with the engine device's shader model (0 without a device).
int CountInstanceRun(int position, const DrawPointerList& list);

class RenderQueue {
public:
    static constexpr int kLightCount = 5;
    static constexpr int kDefaultCapacity = 2000;

    // The lights and both lists at the start-up record's draw-list capacity (2000 when 0), or at the given
    // capacity when positive.
    explicit RenderQueue(int capacity = 0);
    ~RenderQueue();
    RenderQueue(const RenderQueue&) = delete;
    RenderQueue& operator=(const RenderQueue&) = delete;

    // The skybox cube of the named cube map; false when it cannot be made.
    bool SetSkybox(const char* cubeMapName);
    int GetSkybox() const { return skybox_; }
    void SetScene(SceneNode* root) { scene_ = root; }
    SceneNode* GetScene() const { return scene_; }
    LightDesc& GetLight(int slot) { return *lights_[static_cast<std::size_t>(slot)]; }
    // The device's camera matrix = the given matrix or the identity; then collect, prune and build.
    void Build(const Matrix44* cameraMatrix = nullptr);
    DrawList& GetDrawList(int blended) { return blended != 0 ? *blended_ : *opaque_; }
    VisibleNodeList& GetVisibleNodes() { return visible_; }

private:
    void CollectNodes(SceneNode* node, int inherited);
    void PruneFinished();
    void BuildEntries();
    void AddMeshEntries(const VisibleNodeList::Entry& entry);
    void AddBoundsCube(const VisibleNodeList::Entry& entry);
    // The list a material's entries go to: blended for a blend mode or alpha-test mode 2.
    DrawList& ListFor(const MaterialDef* material) const;
    // One entry for a node's payload; null when there is no payload or material, or the list is full.
    DrawEntry* AddPayloadEntry(const VisibleNodeList::Entry& entry, std::uint32_t kind, void* object,
                               MaterialDef* material, float radius, DrawList* list);

    int skybox_ = 0;
    SceneNode* scene_ = nullptr;
    VisibleNodeList visible_;
    Matrix44 camera_;
    std::unique_ptr<LightDesc> lights_[kLightCount];
    std::unique_ptr<DrawList> opaque_;
    std::unique_ptr<DrawList> blended_;
};

}  // namespace engine
