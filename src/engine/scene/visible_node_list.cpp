#include "engine/scene/visible_node_list.h"

#include <new>

#include "engine/scene/scene_node.h"

namespace engine {
namespace {

// The attach-bone pose of a mesh node, or null when the node is not hung under a bone its parent holds.
const Matrix44* BoneSlot(const SceneNode& node) {
    if (node.GetType() != kNodeMesh || node.GetAttachBone() <= 0 || node.GetParent() == nullptr) return nullptr;
    const SkinMatrixCache* cache = node.GetParent()->GetSkinCache();
    const int slot = node.GetAttachBone() - 1;
    if (cache == nullptr || slot >= cache->boneCount || slot >= static_cast<int>(cache->matrices.size())) {
        return nullptr;
    }
    return &cache->matrices[slot];
}

}  // namespace

bool VisibleNodeList::Add(SceneNode* node, const Matrix44* matrix, int overrideMaterial) {
    if (node == nullptr) return false;
    if (entries_.size() == entries_.capacity()) {
        try {
            entries_.reserve(entries_.capacity() + kGrowth);
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    Entry entry;
    entry.node = node;
    entry.overrideMaterial = overrideMaterial;
    if (const Matrix44* bone = BoneSlot(*node)) {
        Matrix44 local;
        Matrix44::MultiplyAffine(*bone, local, node->GetLocalMatrix());
        Matrix44::MultiplyAffine(node->GetParent()->GetWorldMatrix(), entry.matrix, local);
        node->SetWorldMatrix(entry.matrix);
        for (int i = 0; i < node->GetChildCount(); ++i) node->GetChild(i)->UpdateWorldMatrix();
    } else if (matrix != nullptr) {
        Matrix44::MultiplyAffine(node->GetWorldMatrix(), entry.matrix, *matrix);
    } else {
        entry.matrix = node->GetWorldMatrix();
    }
    entries_.push_back(entry);
    return true;
}

void VisibleNodeList::RemoveAt(int index) {
    if (index < 0 || index >= Count()) return;
    SceneNode* node = entries_[index].node;
    entries_.erase(entries_.begin() + index);
    if (node != nullptr) node->Destroy();
}

}  // namespace engine
