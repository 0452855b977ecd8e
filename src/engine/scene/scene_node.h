#pragma once
// The scene-graph node: a local and a world transform, a name, flags, a parent, an ordered child array and
// one payload chosen by the node type (a model handle, dynamic geometry, a distance-switch group, a box, a
// spline). Nodes have no virtual operations; behaviour that differs by type switches on the type.
//
// A node owns its children, its payload (model handles excepted), its animation player and its skin cache.
// The animation set, frame matrices, frame remap and extra data are reference-counted: a shallow clone shares
// them with its source (and is marked shared), an animation player holds the set it plays, and each part is
// freed with its last holder, whichever of source and clone goes first.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"
#include "engine/core/wide_string.h"

namespace engine {

class AnimationPlayer;
class AnimationSet;
class BillboardList;
class DynamicGeometry;
class FrameTimerBase;
class LodGroup;
class MaterialLib;
class Model;
class TriangleList;
struct PickHit;
struct PickSegment;
class ParticleEmitter;
class SceneNode;
class SortedBillboardList;
class Spline;

// Flag bits of SceneNode::flags.
constexpr std::uint32_t kNodeActive = 0x2;
constexpr std::uint32_t kNodeNothingToDraw = 0x4;
constexpr std::uint32_t kNodeNotPickable = 0x8;
constexpr std::uint32_t kNodeDebugBounds = 0x10;
constexpr std::uint32_t kNodeDebugBoxCorners = 0x20;
constexpr std::uint32_t kNodeDebugNormals = 0x40;
constexpr std::uint32_t kNodeMarkedForDeletion = 0x200;
constexpr std::uint32_t kNodeDebugArrow = 0x400;
constexpr std::uint32_t kNodeDebugTangents = 0x2000;
constexpr std::uint32_t kNodePickAsCube = 0x4000;

enum SceneNodeType : std::uint32_t {
    kNodeGroup = 0,
    kNodeMesh = 1,
    kNodeDynamicGeometry = 2,
    kNodeSkipped = 3,
    kNodeEmitter = 4,
    kNodeBillboards = 5,
    kNodeLodGroup = 6,
    kNodeAnimatedMesh = 7,
    kNodeSortedBillboards = 8,
    kNodeType9 = 9,
    kNodeBox = 10,
    kNodeSpline = 11,
    kNodeReserved = 12,
};
constexpr std::uint32_t kNodeTypeCount = 13;

// 36 bytes of the scene-container file: the kind byte and up to 8 floats.
struct NodeExtraData {
    std::int32_t kind = 0;
    float values[8] = {};
};

// The bone matrices of a skinned node for one frame: bone count + 1 matrices (the extra one stays identity),
// the frame they were gathered for (-1 when new) and an optional debug tree of the skeleton.
struct SkinMatrixCache {
    explicit SkinMatrixCache(int bones);
    ~SkinMatrixCache();
    SkinMatrixCache(const SkinMatrixCache&) = delete;
    SkinMatrixCache& operator=(const SkinMatrixCache&) = delete;

    int boneCount = 0;
    int previousFrame = -1;
    std::vector<Matrix44> matrices;
    SceneNode* debugTree = nullptr;  // owned
};

// The functor of SceneNode::Accept. Visit returns 0 to skip the node's children.
class NodeVisitor {
public:
    virtual ~NodeVisitor() = default;
    virtual int Visit(SceneNode* node, void* argument) = 0;
};

using NodeVisitFn = int (*)(SceneNode* node, void* user);

class SceneNode {
public:
    // A new node of the type (0-12; another type gives null) with the given name, active, identity
    // matrices and the payload of its type: dynamic geometry for 2, a particle emitter (not yet set up) for
    // 4, a distance-switch group for 6, an
    // animation player for 7, empty billboard lists for 5 and 8, a box (-2.5, -1, -2.5)..(2.5, 1, 2.5) for 10, a curve spline for 11. Null when
    // memory runs out.
    static SceneNode* Init(std::uint32_t type, const char* name);
    // Detaches the node from its parent, deletes every child and frees what the node holds, then the node.
    void Destroy();

    // A new node of the same type and name with the same matrices, flags, materials and attach bone, the
    // model handle or box of its type, an emitter set up from the source's parameters and due to restart (an
    // emitter group stays a group), and clones of all children (and distance-switch entries with their
    // ranges) in order. A deep clone copies the animation set, frame matrices, frame remap and extra data; a
    // shallow one shares them and is marked shared. A player is cloned as one that takes over the source's
    // set, current record and start time, finished flag clear. Null when memory runs out.
    SceneNode* Clone(bool deep) const;
    // Detaches the child from its old parent and appends it. A type-4 child with an emitter is made active
    // and due to restart; an emitter group has its children's emitters restarted. False (nothing changed)
    // for a null child, the node itself or one of its ancestors (which would make a cycle), a full child
    // array (65535) or when memory runs out.
    bool AddChild(SceneNode* child);
    // Removes the node from its parent's distance-switch entries (type 6: later entries' nodes move down a
    // slot, the ranges stay with their slots) or child array (which shrinks by one and is freed when empty).
    void Detach();

    SceneNode* GetParent() const { return parent_; }
    std::uint32_t GetType() const { return type_; }
    int GetChildCount() const { return childCount_; }
    SceneNode* GetChild(int index) const;
    // The child array itself; null when the node has no children.
    SceneNode* const* GetChildArray() const { return children_; }
    const WideString& GetName() const { return name_; }
    void SetName(const WideString& name) { name_ = name; }
    int GetMaterial() const { return material_; }
    void SetMaterial(int handle) { material_ = handle; }
    int GetSubtreeMaterial() const { return subtreeMaterial_; }
    void SetSubtreeMaterial(int handle) { subtreeMaterial_ = handle; }
    // The integer payload of types 1 and 7: the 1-based model handle. Other types keep no integer payload.
    void SetPayload(int modelHandle);
    void SetMaterialSwap(int from, int to) { swapFrom_ = from, swapTo_ = to; }
    int GetSwapFrom() const { return swapFrom_; }
    int GetSwapTo() const { return swapTo_; }
    // The model handle of types 1 and 7, else 0.
    int GetModelIndex() const;
    // Type 4's emitter; null for an emitter group and every other type.
    ParticleEmitter* GetParticleEmitter() const { return type_ == kNodeEmitter ? emitter_.get() : nullptr; }
    // Drops the emitter of a type-4 node, leaving an emitter group.
    void MakeEmitterGroup();
    // Sets the delete-when-finished flag of the node's emitter; on a node without one, of its direct
    // children's emitters, and when any was found the node becomes an emitter group (type 4, no payload).
    void SetEmitterAutoDelete(bool on);
    // Type 10's box, else null.
    Aabb* GetBox() const { return type_ == kNodeBox ? box_.get() : nullptr; }
    LodGroup* GetLodGroup() const { return type_ == kNodeLodGroup ? lodGroup_.get() : nullptr; }
    Spline* GetSpline() const { return type_ == kNodeSpline ? spline_.get() : nullptr; }
    DynamicGeometry* GetDynamicGeometry() const { return type_ == kNodeDynamicGeometry ? geometry_.get() : nullptr; }
    // Type 5's segment list and type 8's sprite list (empty until sized), else null.
    BillboardList* GetBillboardList() const { return type_ == kNodeBillboards ? billboards_.get() : nullptr; }
    SortedBillboardList* GetSortedBillboardList() const {
        return type_ == kNodeSortedBillboards ? sortedBillboards_.get() : nullptr;
    }

    std::uint32_t GetFlags() const { return flags_; }
    void SetFlags(std::uint32_t flags) { flags_ = flags; }
    bool IsActive() const { return (flags_ & kNodeActive) != 0; }
    void SetActive(bool active) { flags_ = active ? flags_ | kNodeActive : flags_ & ~kNodeActive; }
    int GetAttachBone() const { return attachBone_; }
    void SetAttachBone(int bone) { attachBone_ = bone; }
    bool IsShared() const { return shared_; }
    int GetFixedFrame() const { return fixedFrame_; }
    void SetFixedFrame(int frame) { fixedFrame_ = frame; }

    const Matrix44& GetLocalMatrix() const { return local_; }
    Matrix44& LocalMatrix() { return local_; }
    void SetLocalMatrix(const Matrix44& m) { local_ = m; }
    const Matrix44& GetWorldMatrix() const { return world_; }
    void SetWorldMatrix(const Matrix44& m) { world_ = m; }

    // Pre-order walk of the active nodes from this one; fn returning 0 skips that node's children (its
    // siblings are still visited). Returns the last result of fn.
    int VisitActive(NodeVisitFn fn, void* user);
    // The same walk with a visitor.
    int Accept(NodeVisitor& visitor, void* argument);

    // Finders: case-blind, over active nodes only, from this node. A match's children are not searched and
    // the walk goes on, so the result is the last match in pre-order; null when none.
    SceneNode* FindDescendant(const WideString& text);
    SceneNode* FindDescendantContaining(const WideString& text);
    SceneNode* FindByNamePart(const char* text);
    // Matches on the name of the node's material in lib (the engine's table when none is given).
    SceneNode* FindByMaterialName(const char* text, const MaterialLib* lib = nullptr);

    // world = local x parent world (identity at a root), then the same for every child and every
    // distance-switch entry, inactive ones included.
    void UpdateWorldMatrix();
    // The node's own player, else the nearest ancestor's; null if none.
    AnimationPlayer* FindAnimationPlayer() const;
    AnimationPlayer* GetAnimationPlayer() const { return player_.get(); }
    // Replaces the node's player by a new one reading the timer (null: the engine's). Null when memory runs out.
    AnimationPlayer* CreateAnimationPlayer(const FrameTimerBase* timer = nullptr);
    // The baked matrix of the current frame: the fixed frame when 0 or more, else the nearest player's frame
    // (at least 0), through the frame remap when there is one (a frame beyond the remap uses its last entry),
    // clamped to the frame matrices. Null without frame matrices or without a player on the node or above.
    const Matrix44* GetFrameMatrix() const;
    // Keeps the cache when its bone count matches; otherwise replaces it by one for the given count that
    // keeps the old previous-frame word and gets a new debug tree when the old one had one.
    SkinMatrixCache* EnsureSkinCache(int bones);
    SkinMatrixCache* GetSkinCache() const { return skinCache_.get(); }
    // Turns every type-0 node of the tree whose children are all type 4 into an emitter group.
    void ResolveEmitterGroup();

    // Models and queries (scene_node_queries.cpp).
    // The unit cube for types 0 and 4, the table's model for types 1 and 7 with a valid handle, else null.
    Model* GetModel() const;
    // The unit cube's bounds for type 0, the model's bounds for type 1, the box for type 10, else false.
    bool GetBounds(Aabb& out) const;
    // The bone matrices of the node's model's skeleton for the current frame (the fixed frame, else the
    // nearest player's, at least 0). Null when the node has no model or the model no skeleton: the node is
    // then drawn as a plain mesh.
    SkinMatrixCache* GetSkinMatrices();
    // Makes the skin cache's debug tree from the model's skeleton; null without one.
    SceneNode* BuildSkeletonDebugTree();
    // Clears the list (the engine's shared list when none is given) and adds the triangles of the active
    // subtree of root that meet box, given in the space of matrix. Returns the list.
    static TriangleList* GatherTrianglesInBox(const Aabb& box, TriangleList* list, SceneNode* root,
                                              const Matrix44& matrix);
    // The nearest hit of the segment (start, delta) in root's active, pickable subtree: 1 with the hit point
    // in world space, the hit's fraction of the segment in distance and the hit; else 0.
    static int RayPick(Vec3& point, float& distance, PickHit& hit, SceneNode* root, const Vec3& start,
                       const Vec3& delta);

    // The shared parts. Setting one makes this node a holder of it.
    AnimationSet* GetAnimationSet() const { return animationSet_.get(); }
    const std::shared_ptr<AnimationSet>& GetAnimationSetShared() const { return animationSet_; }
    void SetAnimationSet(std::shared_ptr<AnimationSet> set) { animationSet_ = std::move(set); }
    const std::vector<Matrix44>* GetFrameMatrices() const { return frameMatrices_.get(); }
    const std::shared_ptr<std::vector<Matrix44>>& GetFrameMatricesShared() const { return frameMatrices_; }
    void SetFrameMatrices(std::shared_ptr<std::vector<Matrix44>> m) { frameMatrices_ = std::move(m); }
    const std::vector<std::uint16_t>* GetFrameRemap() const { return frameRemap_.get(); }
    const std::shared_ptr<std::vector<std::uint16_t>>& GetFrameRemapShared() const { return frameRemap_; }
    void SetFrameRemap(std::shared_ptr<std::vector<std::uint16_t>> r) { frameRemap_ = std::move(r); }
    const NodeExtraData* GetExtraData() const { return extraData_.get(); }
    const std::shared_ptr<NodeExtraData>& GetExtraDataShared() const { return extraData_; }
    void SetExtraData(std::shared_ptr<NodeExtraData> extra) { extraData_ = std::move(extra); }

    // Called by LodGroup when it takes a node into or out of its entries.
    void SetParentLink(SceneNode* parent) { parent_ = parent; }

private:
    SceneNode() = default;
    ~SceneNode();
    SceneNode(const SceneNode&) = delete;
    SceneNode& operator=(const SceneNode&) = delete;

    bool CreatePayload();
    // Removes the child from the child array; nothing when it is not there.
    void RemoveFromArray(SceneNode* child);
    void CopyPayload(SceneNode& clone) const;
    bool CloneChildren(SceneNode& clone, bool deep) const;

    Matrix44 local_;
    Matrix44 world_;
    WideString name_;
    std::uint32_t flags_ = kNodeActive;
    int attachBone_ = 0;
    bool shared_ = false;
    std::uint32_t type_ = kNodeGroup;
    int material_ = 0;
    int subtreeMaterial_ = 0;
    std::uint16_t childCount_ = 0;
    SceneNode** children_ = nullptr;
    SceneNode* parent_ = nullptr;
    std::unique_ptr<SkinMatrixCache> skinCache_;
    std::unique_ptr<AnimationPlayer> player_;
    int fixedFrame_ = -1;
    std::shared_ptr<NodeExtraData> extraData_;
    int swapFrom_ = 0;
    int swapTo_ = 0;
    std::shared_ptr<std::vector<Matrix44>> frameMatrices_;
    std::shared_ptr<std::vector<std::uint16_t>> frameRemap_;
    std::shared_ptr<AnimationSet> animationSet_;

    // The payload, by type.
    int modelHandle_ = 0;
    std::unique_ptr<DynamicGeometry> geometry_;
    std::unique_ptr<ParticleEmitter> emitter_;
    std::unique_ptr<LodGroup> lodGroup_;
    std::unique_ptr<Aabb> box_;
    std::unique_ptr<Spline> spline_;
    std::unique_ptr<BillboardList> billboards_;
    std::unique_ptr<SortedBillboardList> sortedBillboards_;
};

// The cached debug arrow nodes: 0 "$$$ArrowXY" (blue), 1 "$$$ArrowXZ" (green), 2 "$$$ArrowYZ" (red); null
// for another index or when they cannot be made.
SceneNode* GetDebugArrowNode(int index);
void FreeDebugArrowNodes();
// A mesh node of a generated arrow: kind 0 turned 90 degrees about X, kind 2 -90 degrees about Z, kind 1 as
// built (pointing along Y). Null when the model or node cannot be made.
SceneNode* CreateArrowNode(int kind, const char* name);

}  // namespace engine
