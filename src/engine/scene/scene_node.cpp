#include "engine/scene/scene_node.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/scene/animation_player.h"
#include "engine/scene/animation_set.h"
#include "engine/scene/billboard_list.h"
#include "engine/scene/dynamic_geometry.h"
#include "engine/scene/lod_group.h"
#include "engine/scene/particle_emitter.h"
#include "engine/scene/skeleton.h"
#include "engine/scene/spline.h"

namespace engine {
namespace {

constexpr int kMaxChildren = 0xFFFF;

template <typename T>
std::shared_ptr<T> CopyShared(const std::shared_ptr<T>& source) {
    if (source == nullptr) return nullptr;
    return std::make_shared<T>(*source);
}

bool IsSelfOrAncestor(const SceneNode* candidate, const SceneNode* node) {
    for (const SceneNode* n = node; n != nullptr; n = n->GetParent()) {
        if (n == candidate) return true;
    }
    return false;
}

}  // namespace

SkinMatrixCache::SkinMatrixCache(int bones) : boneCount(bones), matrices(static_cast<std::size_t>(bones) + 1) {}

SkinMatrixCache::~SkinMatrixCache() {
    if (debugTree != nullptr) debugTree->Destroy();
}

SceneNode* SceneNode::Init(std::uint32_t type, const char* name) {
    if (type >= kNodeTypeCount) return nullptr;
    auto* node = new (std::nothrow) SceneNode;
    if (node == nullptr) return nullptr;
    node->type_ = type;
    if (!node->name_.AssignNarrow(name != nullptr ? name : "") || !node->CreatePayload()) {
        node->Destroy();
        return nullptr;
    }
    return node;
}

bool SceneNode::CreatePayload() {
    try {
        switch (type_) {
            case kNodeDynamicGeometry:
                geometry_ = std::make_unique<DynamicGeometry>();
                geometry_->Init(this);
                break;
            case kNodeEmitter:
                emitter_ = std::make_unique<ParticleEmitter>(this);
                break;
            case kNodeBillboards:
                billboards_ = std::make_unique<BillboardList>();
                break;
            case kNodeSortedBillboards:
                sortedBillboards_ = std::make_unique<SortedBillboardList>();
                break;
            case kNodeLodGroup:
                lodGroup_ = std::make_unique<LodGroup>(this);
                break;
            case kNodeAnimatedMesh:
                player_ = std::make_unique<AnimationPlayer>(this);
                break;
            case kNodeBox:
                box_ = std::make_unique<Aabb>();
                box_->Init({-2.5f, -1.0f, -2.5f}, {2.5f, 1.0f, 2.5f});
                break;
            case kNodeSpline:
                spline_ = std::make_unique<Spline>();
                spline_->kind = kSplineCurve;
                break;
            default:
                break;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void SceneNode::Destroy() { delete this; }

SceneNode::~SceneNode() {
    Detach();
    // Each child takes itself out of the array (or the group's entries) as it goes.
    while (childCount_ > 0) children_[childCount_ - 1]->Destroy();
    if (lodGroup_ != nullptr) {
        while (lodGroup_->Count() > 0) lodGroup_->GetEntry(lodGroup_->Count() - 1).node->Destroy();
    }
    delete[] children_;
}

SceneNode* SceneNode::GetChild(int index) const {
    if (index < 0 || index >= childCount_) return nullptr;
    return children_[index];
}

void SceneNode::SetPayload(int modelHandle) {
    if (type_ == kNodeMesh || type_ == kNodeAnimatedMesh) modelHandle_ = modelHandle;
}

int SceneNode::GetModelIndex() const {
    return type_ == kNodeMesh || type_ == kNodeAnimatedMesh ? modelHandle_ : 0;
}

bool SceneNode::AddChild(SceneNode* child) {
    if (child == nullptr || IsSelfOrAncestor(child, this) || childCount_ >= kMaxChildren) return false;
    auto* grown = new (std::nothrow) SceneNode*[childCount_ + 1];
    if (grown == nullptr) return false;
    child->Detach();
    if (childCount_ > 0) std::memcpy(grown, children_, sizeof(SceneNode*) * childCount_);
    grown[childCount_] = child;
    delete[] children_;
    children_ = grown;
    ++childCount_;
    child->parent_ = this;
    if (child->type_ == kNodeEmitter) {
        if (child->emitter_ != nullptr) {
            child->emitter_->SetRestart();
            child->SetActive(true);
        } else {
            for (int i = 0; i < child->childCount_; ++i) {
                if (ParticleEmitter* emitter = child->children_[i]->GetParticleEmitter()) emitter->SetRestart();
            }
        }
    }
    return true;
}

void SceneNode::MakeEmitterGroup() {
    type_ = kNodeEmitter;
    emitter_.reset();
}

void SceneNode::SetEmitterAutoDelete(bool on) {
    if (ParticleEmitter* emitter = GetParticleEmitter()) {
        emitter->SetDeleteWhenFinished(on);
        return;
    }
    bool found = false;
    for (int i = 0; i < childCount_; ++i) {
        if (ParticleEmitter* emitter = children_[i]->GetParticleEmitter()) {
            emitter->SetDeleteWhenFinished(on);
            found = true;
        }
    }
    if (found) MakeEmitterGroup();
}

void SceneNode::RemoveFromArray(SceneNode* child) {
    int index = 0;
    while (index < childCount_ && children_[index] != child) ++index;
    if (index == childCount_) return;
    const int remaining = childCount_ - 1;
    SceneNode** shrunk = nullptr;
    if (remaining > 0) {
        shrunk = new (std::nothrow) SceneNode*[remaining];
        if (shrunk == nullptr) {
            // Keep the larger array; close the gap in place.
            std::memmove(children_ + index, children_ + index + 1, sizeof(SceneNode*) * (remaining - index));
            childCount_ = static_cast<std::uint16_t>(remaining);
            return;
        }
        std::memcpy(shrunk, children_, sizeof(SceneNode*) * index);
        std::memcpy(shrunk + index, children_ + index + 1, sizeof(SceneNode*) * (remaining - index));
    }
    delete[] children_;
    children_ = shrunk;
    childCount_ = static_cast<std::uint16_t>(remaining);
}

void SceneNode::Detach() {
    SceneNode* parent = parent_;
    if (parent == nullptr) return;
    if (parent->type_ == kNodeLodGroup && parent->lodGroup_ != nullptr && parent->lodGroup_->RemoveChild(this)) {
        return;
    }
    parent->RemoveFromArray(this);
    parent_ = nullptr;
}

void SceneNode::CopyPayload(SceneNode& clone) const {
    clone.modelHandle_ = modelHandle_;
    if (box_ != nullptr && clone.box_ != nullptr) *clone.box_ = *box_;
    if (type_ == kNodeEmitter) {
        if (emitter_ == nullptr) {
            clone.MakeEmitterGroup();
        } else if (clone.emitter_ != nullptr) {
            clone.emitter_->SetPlayForward(emitter_->GetPlayForward());
            clone.emitter_->SetQuadListMode(emitter_->GetQuadListMode());
            clone.emitter_->Setup(emitter_->GetParams());
            clone.emitter_->SetRestart();
        }
    }
}

bool SceneNode::CloneChildren(SceneNode& clone, bool deep) const {
    for (int i = 0; i < childCount_; ++i) {
        SceneNode* child = children_[i]->Clone(deep);
        if (child == nullptr || !clone.AddChild(child)) {
            if (child != nullptr) child->Destroy();
            return false;
        }
    }
    // A distance-switch group's nodes live in its entries; the clone gets them in the same slots and ranges.
    if (lodGroup_ != nullptr && clone.lodGroup_ != nullptr) {
        for (int i = 0; i < LodGroup::kMaxEntries; ++i) {
            const LodGroup::Entry& entry = lodGroup_->GetEntry(i);
            clone.lodGroup_->SetRange(i, entry.rangeStart, entry.rangeLength);
        }
        for (int i = 0; i < lodGroup_->Count(); ++i) {
            const LodGroup::Entry& entry = lodGroup_->GetEntry(i);
            SceneNode* child = entry.node->Clone(deep);
            if (child == nullptr || !clone.lodGroup_->AddChild(child, entry.rangeStart, entry.rangeLength)) {
                if (child != nullptr) child->Destroy();
                return false;
            }
        }
    }
    return true;
}

SceneNode* SceneNode::Clone(bool deep) const {
    SceneNode* clone = Init(type_, name_.GetNarrow());
    if (clone == nullptr) return nullptr;
    clone->local_ = local_;
    clone->world_ = world_;
    clone->flags_ = flags_;
    clone->material_ = material_;
    clone->subtreeMaterial_ = subtreeMaterial_;
    clone->attachBone_ = attachBone_;
    CopyPayload(*clone);
    try {
        if (deep) {
            if (animationSet_ != nullptr) {
                clone->animationSet_.reset(animationSet_->Clone());
                if (clone->animationSet_ == nullptr) throw std::bad_alloc();
            }
            clone->frameMatrices_ = CopyShared(frameMatrices_);
            clone->frameRemap_ = CopyShared(frameRemap_);
            clone->extraData_ = CopyShared(extraData_);
        } else {
            clone->animationSet_ = animationSet_;
            clone->frameMatrices_ = frameMatrices_;
            clone->frameRemap_ = frameRemap_;
            clone->extraData_ = extraData_;
            clone->shared_ = true;
        }
        if (player_ != nullptr) {
            // The clone reads the source's clock: the start time it takes over was read from that clock.
            clone->player_ = std::make_unique<AnimationPlayer>(clone, player_->GetTimer());
            const bool ownCopy = deep && player_->GetAnimationSet() == animationSet_.get();
            clone->player_->TakeOver(*player_, ownCopy ? clone->animationSet_ : nullptr);
        }
    } catch (const std::bad_alloc&) {
        clone->Destroy();
        return nullptr;
    }
    if (!CloneChildren(*clone, deep)) {
        clone->Destroy();
        return nullptr;
    }
    return clone;
}

void SceneNode::UpdateWorldMatrix() {
    if (parent_ != nullptr) {
        Matrix44::MultiplyAffine(parent_->world_, world_, local_);
    } else {
        world_ = local_;
    }
    for (int i = 0; i < childCount_; ++i) children_[i]->UpdateWorldMatrix();
    if (lodGroup_ != nullptr) {
        for (int i = 0; i < lodGroup_->Count(); ++i) lodGroup_->GetEntry(i).node->UpdateWorldMatrix();
    }
}

AnimationPlayer* SceneNode::FindAnimationPlayer() const {
    for (const SceneNode* n = this; n != nullptr; n = n->parent_) {
        if (n->player_ != nullptr) return n->player_.get();
    }
    return nullptr;
}

AnimationPlayer* SceneNode::CreateAnimationPlayer(const FrameTimerBase* timer) {
    player_.reset(new (std::nothrow) AnimationPlayer(this, timer));
    return player_.get();
}

const Matrix44* SceneNode::GetFrameMatrix() const {
    if (frameMatrices_ == nullptr || frameMatrices_->empty()) return nullptr;
    AnimationPlayer* player = FindAnimationPlayer();
    if (player == nullptr) return nullptr;
    int frame = fixedFrame_ >= 0 ? fixedFrame_ : std::max(player->GetFrame(), 0);
    if (frameRemap_ != nullptr && !frameRemap_->empty()) {
        const int last = static_cast<int>(frameRemap_->size()) - 1;
        frame = (*frameRemap_)[std::min(frame, last)];
    }
    const int count = static_cast<int>(frameMatrices_->size());
    return &(*frameMatrices_)[std::clamp(frame, 0, count - 1)];
}

SkinMatrixCache* SceneNode::EnsureSkinCache(int bones) {
    if (bones < 0) return nullptr;
    if (skinCache_ != nullptr && skinCache_->boneCount == bones) return skinCache_.get();
    int previousFrame = -1;
    bool hadDebugTree = false;
    if (skinCache_ != nullptr) {
        previousFrame = skinCache_->previousFrame;
        hadDebugTree = skinCache_->debugTree != nullptr;
        skinCache_.reset();
    }
    try {
        skinCache_ = std::make_unique<SkinMatrixCache>(bones);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    skinCache_->previousFrame = previousFrame;
    if (hadDebugTree) skinCache_->debugTree = Skeleton::BuildDebugTree(bones);
    return skinCache_.get();
}

void SceneNode::ResolveEmitterGroup() {
    if (type_ == kNodeGroup && childCount_ > 0) {
        bool allEmitters = true;
        for (int i = 0; i < childCount_ && allEmitters; ++i) allEmitters = children_[i]->type_ == kNodeEmitter;
        if (allEmitters) MakeEmitterGroup();
    }
    for (int i = 0; i < childCount_; ++i) children_[i]->ResolveEmitterGroup();
}

}  // namespace engine
