#include "engine/scene/render_queue.h"

#include <cmath>

#include "engine/core/sort_array.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/startup_params.h"
#include "engine/render/graphics_device.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/billboard_list.h"
#include "engine/scene/camera.h"
#include "engine/scene/dynamic_geometry.h"
#include "engine/scene/lod_group.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_octree.h"
#include "engine/scene/model_queries.h"
#include "engine/scene/model_table.h"
#include "engine/scene/particle_emitter.h"
#include "engine/scene/scene_node.h"

namespace engine {
namespace {

constexpr int kMaxInstanceScan = 80000;

Vec4 Point4(const Vec3& v) { return {v.x, v.y, v.z, 1.0f}; }

// Flag 0x800 for materials of lighting model 0: unlit pieces cast no shadow.
std::uint32_t UnlitShadowFlag(const MaterialDef* material) {
    return material != nullptr && material->lightingModel == 0 ? kEntryNoShadow : 0u;
}

// The material of a handle; a handle outside the table or an empty slot gives "Default".
MaterialDef* MaterialOrDefault(int handle) {
    const MaterialLib& lib = GetMaterialLib();
    MaterialDef* material = lib.Get(handle);
    return material != nullptr ? material : lib.Get(lib.DefaultHandle());
}

// The line material of spline drawing, "Default" until a spline has made it.
int SplineMaterial() {
    const int handle = GetMaterialLib().FindByPath("$$$Line");
    return handle > 0 ? handle : GetMaterialLib().DefaultHandle();
}

int BoxDisplayOn() {
    const Engine* engine = GetEngine();
    return engine != nullptr ? engine->GetBoxDisplay() : 0;
}

int DrawOrder(const DrawEntry* e) { return e->material != nullptr ? e->material->drawOrder : 0; }
int ShaderSet(const DrawEntry* e) { return e->material != nullptr ? e->material->shaderSetIndex : 0; }

template <typename T>
int ThreeWay(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

// ---- DrawPointerList ----

void DrawPointerList::Init(DrawList* owner, int capacity, int blended) {
    owner_ = owner;
    capacity_ = capacity;
    blended_ = blended;
    items_.assign(static_cast<std::size_t>(capacity), nullptr);
    Clear();
}

bool DrawPointerList::Append(DrawEntry* entry) {
    if (count_ >= capacity_) return false;
    items_[static_cast<std::size_t>(count_++)] = entry;
    return true;
}

void DrawPointerList::SortOpaque() {
    if (sorted_ == kOpaqueOrder) return;
    if (count_ > 1) SortArray(items_.data(), count_, static_cast<int>(sizeof(DrawEntry*)), &CompareOpaqueEntries);
    sorted_ = kOpaqueOrder;
}

void DrawPointerList::SortBlended() {
    if (sorted_ == kBlendedOrder) return;
    if (count_ > 1) SortArray(items_.data(), count_, static_cast<int>(sizeof(DrawEntry*)), &CompareBlendedEntries);
    sorted_ = kBlendedOrder;
}

// ---- DrawList ----

DrawList::DrawList(int capacity, int blended)
    : entries_(static_cast<std::size_t>(capacity)),
      octree_(static_cast<std::size_t>(capacity)),
      octreeCapacity_(capacity),
      capacity_(capacity),
      blended_(blended) {
    visible_.Init(this, capacity, blended);
    casters_.Init(this, capacity, blended);
}

void DrawList::Clear() {
    count_ = 0;
    octreeEntriesStart_ = -1;
    octreeCount_ = 0;
    visible_.Clear();
}

DrawEntry* DrawList::NewEntry() {
    if (count_ >= capacity_) return nullptr;
    DrawEntry* entry = &entries_[static_cast<std::size_t>(count_++)];
    *entry = DrawEntry{};
    return entry;
}

bool DrawList::AddOctreeRecord(Model* model, const Matrix44& world, SceneNode* node) {
    if (octreeCount_ >= octreeCapacity_) return false;
    octree_[static_cast<std::size_t>(octreeCount_++)] = {model, world, node};
    return true;
}

int DrawList::AddModel(int modelHandle, int defaultMaterial, int overrideMaterial, std::uint32_t flags,
                       const Matrix44& world, const std::vector<Matrix44>* skin) {
    Model* model = ModelTable::Get(modelHandle);
    if (model == nullptr) return 0;
    flags |= kEntryActive;
    const MaterialLib& lib = GetMaterialLib();
    for (int b = 0; b < model->GetBatchCount(); ++b) {
        if (count_ >= capacity_) return 0;
        const MeshBatch& batch = *model->GetBatch(b);
        MaterialDef* material = overrideMaterial != 0 ? lib.Get(overrideMaterial) : nullptr;
        if (overrideMaterial != 0 && material != nullptr && material->GetIndex() != overrideMaterial) {
            material = nullptr;  // an index outside the table stands for no override
        }
        if (material == nullptr && batch.material > 0 && batch.material < lib.Count()) {
            material = lib.Get(batch.material);
        }
        if (material == nullptr && defaultMaterial >= 1) material = lib.Get(defaultMaterial);
        if (material == nullptr) material = lib.Get(lib.DefaultWithNormalsHandle());
        if (material == nullptr) return 0;
        const Vec4 centre = Point4(world.TransformPoint(batch.centre));
        auto fill = [&](DrawEntry& e, std::uint32_t entryFlags, float radius, const std::vector<Matrix44>* bones,
                        int shell) {
            e.object = model;
            e.kind = kEntryMesh;
            e.batch = b;
            e.material = material;
            e.world = world;
            e.radius = radius;
            e.centre = centre;
            e.flags = entryFlags;
            e.skin = bones;
            e.shell = shell;
        };
        if ((material->flags & kMaterialFurShells) != 0) {
            for (int s = 1; s <= material->furShellCount; ++s) {
                DrawEntry* shell = NewEntry();
                if (shell == nullptr) return 0;
                fill(*shell, flags | kEntryNoShadow, batch.radius + 1.0f, skin, s);
            }
        }
        DrawEntry* base = NewEntry();
        if (base == nullptr) return 0;
        fill(*base, flags, batch.radius, skin, 0);
    }
    return 1;
}

int DrawList::AddBillboardList(std::uint32_t flags, const Matrix44& world, BillboardList* list) {
    DrawEntry* e = list != nullptr ? NewEntry() : nullptr;
    if (e == nullptr) return 0;
    e->object = list;
    e->kind = kEntryBillboards;
    e->material = MaterialOrDefault(list->GetMaterial());
    e->world = world;
    e->flags = flags | kEntryActive;
    e->centre = {world.m[3][0], world.m[3][1], world.m[3][2], world.m[3][3]};
    e->radius = list->GetQuadSize();
    return 1;
}

int DrawList::AddSortedBillboardList(std::uint32_t flags, const Matrix44& world, SortedBillboardList* list) {
    DrawEntry* e = list != nullptr ? NewEntry() : nullptr;
    if (e == nullptr) return 0;
    e->object = list;
    e->kind = kEntrySortedBillboards;
    e->material = MaterialOrDefault(list->GetMaterial());
    e->world = world;
    e->flags = flags | kEntryActive;
    e->centre = {world.m[3][0], world.m[3][1], world.m[3][2], world.m[3][3]};
    e->radius = list->GetBoundingSize();
    return 1;
}

void DrawList::AddDebugArrows(const Matrix44& world, std::uint32_t nodeFlags) {
    if ((nodeFlags & kEntryAxisArrows) == 0) return;
    for (int i = 0; i < 3; ++i) {
        const SceneNode* arrow = GetDebugArrowNode(i);
        Model* model = arrow != nullptr ? arrow->GetModel() : nullptr;
        if (model == nullptr || model->GetBatchCount() == 0) continue;
        DrawEntry* e = NewEntry();
        if (e == nullptr) return;
        e->object = model;
        e->kind = kEntryMesh;
        e->material = MaterialOrDefault(arrow->GetMaterial());
        e->world = world;
        e->flags = kEntryNoShadow;
        e->radius = 1.0f;
        e->centre = Point4(world.GetTranslation());
    }
}

void DrawList::AddVisitedBatchEntry(const OctreeRecord& record, int batch, int material, const Vec3& centre,
                                    float radius) {
    if (visible_.Count() >= visible_.Capacity()) return;
    DrawEntry* e = NewEntry();
    if (e == nullptr) return;
    e->object = record.model;
    e->kind = kEntryMesh;
    e->batch = batch;
    e->material = MaterialOrDefault(material);
    e->flags = record.node != nullptr ? record.node->GetFlags() | kEntryActive : kEntryActive;
    e->centre = Point4(centre);
    e->radius = radius;
    visible_.Append(e);
}

DrawPointerList& DrawList::CollectVisible(const Camera& camera) {
    visible_.Clear();
    if (octreeEntriesStart_ >= 0 && octreeEntriesStart_ <= count_) count_ = octreeEntriesStart_;
    octreeEntriesStart_ = -1;
    if (count_ == 0 && octreeCount_ == 0) return visible_;
    const Matrix44& toView = camera.GetViewTransform().GetInverse();
    const float margin = GetModelQueryOptions().cullMargin;
    for (int i = 0; i < count_; ++i) {
        DrawEntry& e = entries_[static_cast<std::size_t>(i)];
        if ((e.flags & kEntryNothingToDraw) != 0) continue;
        const Vec3 centre{e.centre.x, e.centre.y, e.centre.z};
        if (camera.SphereVisible(centre, e.radius + margin) == 0) continue;
        e.depth = toView.TransformPoint(centre).z + (e.material != nullptr ? e.material->storedFloat0 : 0.0f);
        visible_.Append(&e);
    }
    if (octreeCount_ > 0) octreeEntriesStart_ = count_;
    for (int r = 0; r < octreeCount_; ++r) {
        const OctreeRecord& record = octree_[static_cast<std::size_t>(r)];
        if (record.node == nullptr || record.model == nullptr || !record.model->octree) continue;
        const ModelOctree& tree = *record.model->octree;
        ModelOctree::QueryNode(camera, *record.node, [&](int cell, int batch, int material) {
            const OctreeNode& node = tree.nodes[static_cast<std::size_t>(cell)];
            AddVisitedBatchEntry(record, batch, material, node.centre, node.halfSize * std::sqrt(3.0f));
        });
    }
    return visible_;
}

// ---- orderings ----

int CompareOpaqueEntries(const void* pa, const void* pb) {
    const DrawEntry* a = *static_cast<DrawEntry* const*>(pa);
    const DrawEntry* b = *static_cast<DrawEntry* const*>(pb);
    if (int c = ThreeWay(DrawOrder(a), DrawOrder(b))) return c;
    if (int c = ThreeWay(ShaderSet(a), ShaderSet(b))) return c;
    if (int c = ThreeWay(a->shell, b->shell)) return c;
    if (int c = ThreeWay(reinterpret_cast<std::uintptr_t>(a->material), reinterpret_cast<std::uintptr_t>(b->material)))
        return c;
    if (int c = ThreeWay(reinterpret_cast<std::uintptr_t>(a->object), reinterpret_cast<std::uintptr_t>(b->object)))
        return c;
    return ThreeWay(b->batch, a->batch);
}

int CompareBlendedEntries(const void* pa, const void* pb) {
    const DrawEntry* a = *static_cast<DrawEntry* const*>(pa);
    const DrawEntry* b = *static_cast<DrawEntry* const*>(pb);
    if (a->material != nullptr && b->material != nullptr) {
        if (int c = ThreeWay(a->material->drawOrder, b->material->drawOrder)) return c;
    }
    // Farthest first; a NaN depth compares as equal and the merge sort stays sound.
    return ThreeWay(b->depth, a->depth);
}

int CountInstanceRun(int position, const DrawPointerList& list, bool shaderModel3) {
    if (!shaderModel3 || position < 0 || position >= list.Count()) return 0;
    const DrawEntry* first = list.Get(position);
    if (first->kind != kEntryMesh || first->skin != nullptr) return 0;
    const Model* model = static_cast<const Model*>(first->object);
    const MeshBatch* batch = model != nullptr ? model->GetBatch(first->batch) : nullptr;
    // The device draws only format-4 batches instanced.
    if (batch == nullptr || batch->vertexFormat != 4) return 0;
    if (position + 1 >= list.Count() || list.Get(position + 1)->object != first->object) return 1;
    int run = 1;
    for (int i = position + 1; i < list.Count() && i <= kMaxInstanceScan; ++i) {
        const DrawEntry* e = list.Get(i);
        if (e->kind != kEntryMesh || e->object != first->object || e->batch != first->batch ||
            e->material != first->material) {
            break;
        }
        ++run;
    }
    return run;
}

int CountInstanceRun(int position, const DrawPointerList& list) {
    const GraphicsDevice* device = GetGraphicsDevice();
    return CountInstanceRun(position, list, device != nullptr && device->IsShaderModel3());
}

// ---- RenderQueue ----

RenderQueue::RenderQueue(int capacity) {
    if (capacity <= 0) capacity = GetStartupParams().drawListCapacity;
    if (capacity <= 0) capacity = kDefaultCapacity;
    for (int i = 0; i < kLightCount; ++i) lights_[i] = std::make_unique<LightDesc>(i);
    opaque_ = std::make_unique<DrawList>(capacity, 0);
    blended_ = std::make_unique<DrawList>(capacity, 1);
}

RenderQueue::~RenderQueue() = default;

bool RenderQueue::SetSkybox(const char* cubeMapName) {
    skybox_ = CreateSkyboxModel(WideString(cubeMapName));
    return skybox_ != 0;
}

void RenderQueue::Build(const Matrix44* cameraMatrix) {
    camera_ = cameraMatrix != nullptr ? *cameraMatrix : IdentityMatrix();
    if (GraphicsDevice* device = GetGraphicsDevice()) device->ViewMatrix() = camera_;
    visible_.Clear();
    if (scene_ != nullptr) CollectNodes(scene_, 0);
    PruneFinished();
    BuildEntries();
}

void RenderQueue::CollectNodes(SceneNode* node, int inherited) {
    if (!node->IsActive()) return;
    if (inherited == 0) inherited = node->GetSubtreeMaterial();
    SceneNode* childrenOf = node;
    const std::uint32_t type = node->GetType();
    auto add = [&](SceneNode* n) { visible_.Add(n, n->GetFrameMatrix(), inherited); };
    switch (type) {
        case kNodeGroup:
            if ((node->GetFlags() & kEntryShowBounds) != 0) add(node);
            break;
        case kNodeSkipped:
        case kNodeType9:
            break;
        case kNodeLodGroup: {
            const LodGroup* lod = node->GetLodGroup();
            const float distance = node->GetWorldMatrix().GetTranslation().Distance(camera_.GetTranslation());
            SceneNode* picked = lod != nullptr ? lod->FindChildForDistance(distance) : nullptr;
            if (picked != nullptr) {
                if (picked->GetType() == kNodeGroup && picked->GetChildCount() > 0) {
                    childrenOf = picked;
                } else {
                    add(picked);
                }
            }
            break;
        }
        case kNodeEmitter:
            if (ParticleEmitter* emitter = node->GetParticleEmitter()) {
                // A nested emitter is placed by its parent emitter.
                const SceneNode* parent = node->GetParent();
                const bool nested = parent != nullptr && parent->GetType() == kNodeEmitter;
                const Matrix44& placement = nested ? parent->GetWorldMatrix() : node->GetWorldMatrix();
                if (emitter->UpdateOncePerFrame(placement, node) != 0) {
                    node->SetFlags(node->GetFlags() | kEntryDelete);
                }
            }
            add(node);
            break;
        case kNodeAnimatedMesh:
            node->GetSkinMatrices();
            add(node);
            break;
        case kNodeBox:
            if (BoxDisplayOn() != 0) add(node);
            break;
        case kNodeSpline:
            if ((node->GetFlags() & kEntryShowSpline) != 0) add(node);
            break;
        default:
            if (type <= kNodeSpline) add(node);
            break;
    }
    for (int i = 0; i < childrenOf->GetChildCount(); ++i) CollectNodes(childrenOf->GetChild(i), inherited);
}

void RenderQueue::PruneFinished() {
    for (int i = 0; i < visible_.Count(); ++i) {
        SceneNode* node = visible_.Get(i).node;
        if (node->GetType() == kNodeEmitter && node->GetParticleEmitter() == nullptr && node->GetChildCount() == 0) {
            node->SetFlags(node->GetFlags() | kEntryDelete);
        }
    }
    // From the back: an entry is removed when its node or an ancestor is marked, so the nodes below a marked
    // node go before it and no entry is left pointing at a deleted node.
    for (int i = visible_.Count() - 1; i >= 0; --i) {
        bool marked = false;
        for (const SceneNode* n = visible_.Get(i).node; n != nullptr && !marked; n = n->GetParent()) {
            marked = (n->GetFlags() & kEntryDelete) != 0;
        }
        if (marked) visible_.RemoveAt(i);
    }
}

DrawList& RenderQueue::ListFor(const MaterialDef* material) const {
    const bool blended = material != nullptr && (material->blendMode != 0 || material->alphaTestMode == 2);
    return blended ? *blended_ : *opaque_;
}

void RenderQueue::AddBoundsCube(const VisibleNodeList::Entry& entry) {
    Model* cube = GetNullCubeModel();
    if (cube == nullptr) return;
    MaterialDef* material = entry.overrideMaterial != 0 ? MaterialOrDefault(entry.overrideMaterial)
                                                        : GetMaterialLib().NullMaterial();
    if (material == nullptr) material = MaterialOrDefault(0);
    DrawEntry* e = material != nullptr ? blended_->NewEntry() : nullptr;
    if (e == nullptr) return;
    e->object = cube;
    e->kind = kEntryMesh;
    e->material = material;
    e->world = entry.matrix;
    e->centre = Point4(entry.node->GetWorldMatrix().GetTranslation());
    e->radius = cube->radius;
    e->flags = entry.node->GetFlags() | kEntryActive | kEntryNoShadow;
}

void RenderQueue::AddMeshEntries(const VisibleNodeList::Entry& entry) {
    SceneNode* node = entry.node;
    Model* model = node->GetModel();
    if (model == nullptr) model = GetNullCubeModel();
    if (model == nullptr) return;
    if (model->octree) {
        opaque_->AddOctreeRecord(model, entry.matrix, node);
        return;
    }
    const MaterialLib& lib = GetMaterialLib();
    const SkinMatrixCache* skin = node->GetType() == kNodeAnimatedMesh ? node->GetSkinCache() : nullptr;
    for (int b = 0; b < model->GetBatchCount(); ++b) {
        const MeshBatch& batch = *model->GetBatch(b);
        int index = entry.overrideMaterial;
        if (index == 0) index = batch.material;
        if (index == 0) index = node->GetMaterial();
        if (index == 0) index = lib.DefaultHandle();
        if (node->GetSwapFrom() != 0 && node->GetSwapTo() != 0 && index == node->GetSwapFrom()) {
            index = node->GetSwapTo();
        }
        // An index outside the table means "Default"; an empty slot ends the model's batches.
        if (index < 1 || index >= lib.Count()) index = lib.DefaultHandle();
        MaterialDef* material = lib.Get(index);
        if (material == nullptr) return;
        DrawList& list = ListFor(material);
        DrawEntry* e = list.NewEntry();
        if (e == nullptr) continue;
        e->object = model;
        e->kind = kEntryMesh;
        e->batch = b;
        e->material = material;
        e->world = entry.matrix;
        e->flags = node->GetFlags() | kEntryActive | UnlitShadowFlag(material);
        e->centre = Point4(entry.matrix.TransformPoint(batch.centre));
        e->radius = batch.radius;
        e->skin = skin != nullptr ? &skin->matrices : nullptr;
        if ((material->flags & kMaterialFurShells) == 0) continue;
        for (int s = 1; s <= material->furShellCount; ++s) {
            DrawEntry* shell = opaque_->NewEntry();
            if (shell == nullptr) break;
            const DrawEntry base = *e;
            *shell = base;
            shell->flags |= kEntryNoShadow;
            shell->radius = base.radius + 1.0f;
            shell->shell = s;
        }
    }
}

DrawEntry* RenderQueue::AddPayloadEntry(const VisibleNodeList::Entry& entry, std::uint32_t kind, void* object,
                                        MaterialDef* material, float radius, DrawList* list) {
    if (object == nullptr || material == nullptr) return nullptr;
    DrawList& target = list != nullptr ? *list : ListFor(material);
    DrawEntry* e = target.NewEntry();
    if (e == nullptr) return nullptr;
    e->object = object;
    e->kind = kind;
    e->material = material;
    e->world = entry.matrix;
    e->flags = entry.node->GetFlags() | kEntryActive;
    e->centre = Point4(entry.node->GetWorldMatrix().GetTranslation());
    e->radius = radius;
    return e;
}

void RenderQueue::BuildEntries() {
    opaque_->Clear();
    blended_->Clear();
    for (int i = 0; i < visible_.Count(); ++i) {
        const VisibleNodeList::Entry& entry = visible_.Get(i);
        SceneNode* node = entry.node;
        if (!node->IsActive()) continue;
        const std::uint32_t flags = node->GetFlags();
        switch (node->GetType()) {
            case kNodeGroup:
                AddBoundsCube(entry);
                opaque_->AddDebugArrows(entry.matrix, flags);
                break;
            case kNodeMesh:
            case kNodeAnimatedMesh:
                AddMeshEntries(entry);
                opaque_->AddDebugArrows(entry.matrix, flags);
                break;
            case kNodeDynamicGeometry: {
                DynamicGeometry* geometry = node->GetDynamicGeometry();
                MaterialDef* material = geometry != nullptr ? MaterialOrDefault(geometry->material) : nullptr;
                DrawEntry* e = AddPayloadEntry(entry, kEntryDynamicGeometry, geometry, material, 100.0f, nullptr);
                if (e != nullptr) e->flags |= UnlitShadowFlag(material);
                break;
            }
            case kNodeEmitter:
                if (ParticleEmitter* emitter = node->GetParticleEmitter()) {
                    MaterialDef* material = MaterialOrDefault(emitter->GetMaterial());
                    DrawEntry* e = AddPayloadEntry(entry, kEntryEmitter, emitter, material,
                                                   emitter->GetParams().quadSize, nullptr);
                    if (e != nullptr) e->flags |= UnlitShadowFlag(material);
                }
                opaque_->AddDebugArrows(entry.matrix, flags);
                if ((flags & kEntryShowBounds) != 0) AddBoundsCube(entry);
                break;
            case kNodeBillboards: {
                BillboardList* list = node->GetBillboardList();
                MaterialDef* material = list != nullptr ? MaterialOrDefault(list->GetMaterial()) : nullptr;
                DrawEntry* e = AddPayloadEntry(entry, kEntryBillboards, list, material,
                                               list != nullptr ? list->GetQuadSize() : 0, nullptr);
                if (e != nullptr) e->flags |= UnlitShadowFlag(material);
                break;
            }
            case kNodeSortedBillboards: {
                SortedBillboardList* list = node->GetSortedBillboardList();
                MaterialDef* material = list != nullptr ? MaterialOrDefault(list->GetMaterial()) : nullptr;
                DrawEntry* e = AddPayloadEntry(entry, kEntrySortedBillboards, list, material,
                                               list != nullptr ? list->GetBoundingSize() : 0, nullptr);
                if (e != nullptr) e->flags |= UnlitShadowFlag(material);
                break;
            }
            case kNodeBox: {
                Aabb* box = node->GetBox();
                if (box == nullptr) break;
                const int handle = entry.overrideMaterial != 0 ? entry.overrideMaterial : GetCollisionVolumeMaterial();
                DrawEntry* e = blended_->NewEntry();
                if (e == nullptr) break;
                e->object = box;
                e->kind = kEntryBox;
                e->material = MaterialOrDefault(handle);
                e->world = entry.matrix;
                e->flags = flags | kEntryActive | kEntryNoShadow;
                const Vec3 centre = box->min.Add(box->max) * 0.5f;
                e->centre = Point4(entry.matrix.TransformPoint(centre));
                e->radius = box->max.Sub(box->min).Length() * 0.5f;
                break;
            }
            case kNodeSpline: {
                const int handle = entry.overrideMaterial != 0 ? entry.overrideMaterial : SplineMaterial();
                AddPayloadEntry(entry, kEntrySpline, node->GetSpline(), MaterialOrDefault(handle), 1000.0f,
                                blended_.get());
                opaque_->AddDebugArrows(entry.matrix, flags);
                if ((flags & kEntryShowBounds) != 0) AddBoundsCube(entry);
                break;
            }
            default:
                break;
        }
    }
}

}  // namespace engine
