#include "engine/scene/skeleton.h"

#include <algorithm>
#include <new>

#include "engine/scene/animation_set.h"
#include "engine/scene/scene_node.h"

namespace engine {

bool Skeleton::Init(int boneCount) {
    Destroy();
    if (boneCount < 0 || boneCount > 0xFFFF) return false;
    try {
        bones.resize(static_cast<std::size_t>(boneCount));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

void Skeleton::Destroy() {
    bones.clear();
    bones.shrink_to_fit();
    animationSet.reset();
    root_ = -1;
}

void Skeleton::Link() {
    const int count = BoneCount();
    for (int i = 0; i < count; ++i) {
        bones[i].index = i;
        bones[i].children.clear();
    }
    for (int i = 0; i < count; ++i) {
        const int parent = bones[i].parent;
        if (parent < 1 || parent > count) {
            root_ = i;
        } else {
            bones[parent - 1].children.push_back(i);
        }
    }
}

void Skeleton::GatherBoneMatrices(int frame, SkinMatrixCache& cache) const {
    const int slots = static_cast<int>(cache.matrices.size()) - 1;
    const int count = std::min(BoneCount(), std::max(slots, 0));
    for (int i = 0; i < count; ++i) {
        const Bone& bone = bones[i];
        const int frames = static_cast<int>(bone.frames.size());
        if (frames == 0) {
            cache.matrices[i].SetIdentity();
            continue;
        }
        int index = frame;
        if (!bone.remap.empty()) {
            index = bone.remap[std::clamp(frame, 0, static_cast<int>(bone.remap.size()) - 1)];
        }
        cache.matrices[i] = bone.frames[std::clamp(index, 0, frames - 1)];
    }
    cache.boneCount = count;
    cache.previousFrame = frame;
}

SceneNode* Skeleton::BuildDebugTree() const { return BuildDebugTree(BoneCount()); }

SceneNode* Skeleton::BuildDebugTree(int boneCount) {
    SceneNode* root = SceneNode::Init(kNodeGroup, "Skelly Root");
    if (root == nullptr) return nullptr;
    root->SetFlags(root->GetFlags() | kNodeNothingToDraw);
    for (int i = 0; i < boneCount; ++i) {
        SceneNode* bone = SceneNode::Init(kNodeMesh, "Skelly Bone");
        if (bone == nullptr || !root->AddChild(bone)) {
            if (bone != nullptr) bone->Destroy();
            root->Destroy();
            return nullptr;
        }
    }
    return root;
}

}  // namespace engine
