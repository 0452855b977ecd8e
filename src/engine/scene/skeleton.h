#pragma once
// The bone skeleton of a skinned model: bones with their per-frame matrices and optional frame remaps, the
// model's animation set and the root bone.
//
// Bone numbering: a bone's parent index p names bone p - 1 (p below 1, or above the bone count, makes a
// root). GatherBoneMatrices writes bone i into skin-cache slot i, and a node hung under attach bone b
// (1-based) takes slot b - 1.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/matrix.h"

namespace engine {

class AnimationSet;
class SceneNode;
struct SkinMatrixCache;

struct Bone {
    std::int16_t parent = 0;
    int index = 0;
    std::vector<Matrix44> frames;  // one per frame
    Matrix44 matrix;
    std::vector<int> children;         // bone indices
    std::vector<std::uint16_t> remap;  // frame -> index into frames; empty when none
};

class Skeleton {
public:
    // The given number of empty bones, no animation set, no root. False for a negative count or when memory
    // runs out.
    bool Init(int boneCount);
    // Frees the bones and the animation set.
    void Destroy();
    // Numbers the bones and fills their child lists; the last root bone becomes the skeleton's root.
    void Link();
    // For each bone, the matrix of the frame (through the bone's remap when it has one), both clamped to the
    // bone's frames, into slot i of the cache; a bone without frames writes identity. Sets the cache's bone
    // count (at most what its slots hold) and records the frame.
    void GatherBoneMatrices(int frame, SkinMatrixCache& cache) const;
    // A type-0 node "Skelly Root" with flag 0x4 and one type-1 child "Skelly Bone" per bone; null when
    // memory runs out.
    SceneNode* BuildDebugTree() const;
    static SceneNode* BuildDebugTree(int boneCount);

    int BoneCount() const { return static_cast<int>(bones.size()); }
    int Root() const { return root_; }

    std::vector<Bone> bones;
    std::shared_ptr<AnimationSet> animationSet;

private:
    int root_ = -1;
};

}  // namespace engine
