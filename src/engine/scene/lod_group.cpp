#include "engine/scene/lod_group.h"

#include "engine/scene/scene_node.h"

namespace engine {

bool LodGroup::AddChild(SceneNode* node, float rangeStart, float rangeLength) {
    if (node == nullptr || count_ >= kMaxEntries) return false;
    for (const SceneNode* n = owner_; n != nullptr; n = n->GetParent()) {
        if (n == node) return false;
    }
    node->Detach();
    entries_[count_] = {node, rangeStart, rangeLength};
    ++count_;
    node->SetParentLink(owner_);
    return true;
}

bool LodGroup::RemoveChild(SceneNode* node) {
    int slot = 0;
    while (slot < count_ && entries_[slot].node != node) ++slot;
    if (slot == count_ || node == nullptr) return false;
    for (int i = slot; i + 1 < count_; ++i) entries_[i].node = entries_[i + 1].node;
    --count_;
    entries_[count_].node = nullptr;
    node->SetParentLink(nullptr);
    return true;
}

SceneNode* LodGroup::FindChildForDistance(float distance) const {
    for (int i = 0; i < count_; ++i) {
        if (entries_[i].rangeStart + entries_[i].rangeLength > distance) return entries_[i].node;
    }
    return nullptr;
}

void LodGroup::SetRange(int slot, float rangeStart, float rangeLength) {
    if (slot < 0 || slot >= kMaxEntries) return;
    entries_[slot].rangeStart = rangeStart;
    entries_[slot].rangeLength = rangeLength;
}

}  // namespace engine
