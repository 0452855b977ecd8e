// A scene node's model, bounds and skin matrices, triangle gathering and ray picking over a subtree, and the
// debug arrow nodes.
#include <algorithm>
#include <vector>

#include "engine/platform/engine_root.h"
#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/animation_player.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_generators.h"
#include "engine/scene/model_queries.h"
#include "engine/scene/model_table.h"
#include "engine/scene/particle_emitter.h"
#include "engine/scene/pick_segment.h"
#include "engine/scene/scene_node.h"
#include "engine/scene/skeleton.h"

namespace engine {
namespace {

SceneNode* g_arrows[3] = {};

int BoxPickingOn() {
    const Engine* engine = GetEngine();
    return engine != nullptr ? engine->GetBoxPicking() : 0;
}

// Active nodes of the subtree in pre-order; skip(node) true leaves out the node's children.
template <typename Visit>
void WalkActive(SceneNode* root, Visit visit) {
    std::vector<SceneNode*> stack{root};
    while (!stack.empty()) {
        SceneNode* node = stack.back();
        stack.pop_back();
        if (node == nullptr || !node->IsActive()) continue;
        if (!visit(node)) continue;
        for (int i = node->GetChildCount() - 1; i >= 0; --i) stack.push_back(node->GetChild(i));
    }
}

}  // namespace

Model* SceneNode::GetModel() const {
    switch (type_) {
        case kNodeGroup:
        case kNodeEmitter: return GetNullCubeModel();
        case kNodeMesh:
        case kNodeAnimatedMesh: return GetModelByHandle(modelHandle_);
        default: return nullptr;
    }
}

bool SceneNode::GetBounds(Aabb& out) const {
    const Model* model = nullptr;
    if (type_ == kNodeGroup) model = GetNullCubeModel();
    if (type_ == kNodeMesh) model = GetModelByHandle(modelHandle_);
    if (type_ == kNodeBox && box_ != nullptr) {
        out = *box_;
        return true;
    }
    if (model == nullptr) return false;
    out = model->GetBounds();
    return true;
}

SkinMatrixCache* SceneNode::GetSkinMatrices() {
    const Model* model = GetModel();
    if (model == nullptr || !model->skeleton) return nullptr;
    const Skeleton& skeleton = *model->skeleton;
    SkinMatrixCache* cache = EnsureSkinCache(skeleton.BoneCount());
    if (cache == nullptr) return nullptr;
    int frame = fixedFrame_;
    if (frame < 0) {
        AnimationPlayer* player = FindAnimationPlayer();
        frame = player != nullptr ? std::max(player->GetFrame(), 0) : 0;
    }
    skeleton.GatherBoneMatrices(frame, *cache);
    return cache;
}

SceneNode* SceneNode::BuildSkeletonDebugTree() {
    const Model* model = GetModel();
    if (model == nullptr || !model->skeleton) return nullptr;
    SkinMatrixCache* cache = EnsureSkinCache(model->skeleton->BoneCount());
    if (cache == nullptr) return nullptr;
    if (cache->debugTree == nullptr) cache->debugTree = model->skeleton->BuildDebugTree();
    return cache->debugTree;
}

TriangleList* SceneNode::GatherTrianglesInBox(const Aabb& box, TriangleList* list, SceneNode* root,
                                              const Matrix44& matrix) {
    // Without a list the engine's shared one is used, never a list some earlier caller may have freed.
    TriangleList& out = list != nullptr ? *list : GetSharedTriangleList();
    out.Clear();
    QueryBox query;
    query.box = box;
    Matrix44::InverseAffine(matrix, query.inverseMatrix);
    WalkActive(root, [&](SceneNode* node) {
        if ((node->flags_ & kNodeNotPickable) != 0) return true;
        if (node->type_ == kNodeGroup && (node->flags_ & kNodeDebugBoxCorners) == 0) return true;
        const Model* model = node->GetModel();
        const auto* mesh = dynamic_cast<const MeshModel*>(model);
        if (mesh == nullptr) return true;
        Matrix44 modelToQuery;
        Matrix44::MultiplyAffine(query.inverseMatrix, modelToQuery, node->world_);
        if (Aabb::Overlaps(Aabb::Transform(mesh->GetBounds(), modelToQuery), box)) {
            GatherModelTriangles(*mesh, node, query, modelToQuery, node->world_, out);
        }
        return true;
    });
    return &out;
}

int SceneNode::RayPick(Vec3& point, float& distance, PickHit& hit, SceneNode* root, const Vec3& start,
                       const Vec3& delta) {
    PickSegment segment;
    segment.Init(start, delta);
    distance = 1.0f;
    ModelRayHit found;
    bool any = false;
    const int animated = GetModelQueryOptions().animatedMeshPicking;
    std::vector<SceneNode*> stack{root};
    while (!stack.empty()) {
        SceneNode* node = stack.back();
        stack.pop_back();
        if (node == nullptr || !node->IsActive() || (node->flags_ & kNodeNotPickable) != 0) continue;
        const std::uint32_t type = node->type_;
        const MeshModel* model = nullptr;
        if ((type == kNodeGroup || type == kNodeEmitter) && (node->flags_ & kNodePickAsCube) != 0) {
            model = GetNullCubeModel();
        } else if (type == kNodeMesh || (type == kNodeAnimatedMesh && animated != 0)) {
            model = GetMeshModelByHandle(node->modelHandle_);
        }
        if (model != nullptr) {
            any = RayTestModel(*model, segment, distance, found, node, node->world_, 0) != 0 || any;
        } else if (type == kNodeBox && node->box_ != nullptr && BoxPickingOn() != 0) {
            any = RayTestBox(found, *node->box_, segment, distance, node, node->world_) != 0 || any;
        }
        for (int i = node->GetChildCount() - 1; i >= 0; --i) stack.push_back(node->GetChild(i));
    }
    if (!any) return 0;
    point = found.world.TransformPoint(found.point);
    hit = PickHit();
    hit.node = found.node;
    hit.triangle = found.triangle;
    hit.material = found.material;
    const MeshModel* model = found.triangle >= 0 ? dynamic_cast<const MeshModel*>(found.node->GetModel()) : nullptr;
    if ((found.node->flags_ & kNodePickAsCube) != 0 && found.node->type_ != kNodeMesh &&
        found.node->type_ != kNodeAnimatedMesh) {
        // A unit-cube pick reports no triangle; an emitter's hit material is its quads' material.
        hit.triangle = -1;
        model = nullptr;
        if (const ParticleEmitter* emitter = found.node->GetParticleEmitter()) hit.material = emitter->GetMaterial();
    }
    if (model != nullptr) {
        Vec3 a, b, c;
        model->GetTriangleCorners(found.triangle, a, b, c);
        hit.corners[0] = found.world.TransformPoint(a);
        hit.corners[1] = found.world.TransformPoint(b);
        hit.corners[2] = found.world.TransformPoint(c);
        hit.normal = found.world.TransformVector(model->GetTriangle(found.triangle)->normal).NormalisedSafe();
        hit.planeDistance = hit.normal.Dot(hit.corners[0]);
    }
    return 1;
}

SceneNode* CreateArrowNode(int kind, const char* name) {
    static const Vec2 kProfile[5] = {{0.0f, 1.0f}, {0.07f, 0.7f}, {0.02f, 0.7f}, {0.02f, 0.0f}, {0.0f, 0.0f}};
    const int handle = CreateLatheModel(WideString(name), kProfile);
    MeshModel* model = GetMeshModelByHandle(handle);
    if (model == nullptr) return nullptr;
    if (kind == 0 || kind == 2) {
        Matrix44 turn;
        if (kind == 0) {
            turn.InitRotationX(90.0f);
        } else {
            turn.InitRotationZ(-90.0f);
        }
        model->TransformVertices(turn);
        model->ComputeFaceNormals();
        model->SmoothNormalsAndTangents();
        model->ComputeBounds();
        if (!model->BuildBatches()) {
            model->Delete();
            return nullptr;
        }
    }
    SceneNode* node = SceneNode::Init(kNodeMesh, name);
    if (node == nullptr) {
        model->Delete();
        return nullptr;
    }
    node->SetPayload(handle);
    return node;
}

SceneNode* GetDebugArrowNode(int index) {
    if (index < 0 || index > 2) return nullptr;
    SceneNode*& cached = g_arrows[index];
    if (cached != nullptr && GetModelByHandle(cached->GetModelIndex()) != nullptr) return cached;
    if (cached != nullptr) cached->Destroy();
    static const char* const kNames[3] = {"$$$ArrowXY", "$$$ArrowXZ", "$$$ArrowYZ"};
    static const std::uint32_t kColours[3] = {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u};
    static const int kKinds[3] = {0, 1, 2};
    cached = CreateArrowNode(kKinds[index], kNames[index]);
    if (cached == nullptr) return nullptr;
    MaterialLib& lib = GetMaterialLib();
    const int material = lib.Count() > 0 ? lib.Create(kNames[index], 0, 0, 0, 0) : 0;
    if (material != 0) lib.Get(material)->SetColour(0, kColours[index]);
    cached->SetMaterial(material);
    cached->SetFlags(cached->GetFlags() | kNodeNotPickable | kNodeDebugArrow);
    return cached;
}

void FreeDebugArrowNodes() {
    for (SceneNode*& node : g_arrows) {
        if (node != nullptr) node->Destroy();
        node = nullptr;
    }
}

}  // namespace engine
