#pragma once
// The nodes the render queue found visible in a frame, each with the world matrix to draw it with and an
// override material.
#include <vector>

#include "engine/core/matrix.h"

namespace engine {

class SceneNode;

class VisibleNodeList {
public:
    static constexpr int kGrowth = 256;

    struct Entry {
        SceneNode* node = nullptr;
        int zero = 0;
        Matrix44 matrix;
        int overrideMaterial = 0;
    };

    // Appends the node; a full list grows by 256 entries. The matrix is the node's world matrix, with the
    // given matrix applied first when there is one. A mesh node hung under a bone of its parent is posed
    // instead at local x the parent's skin matrix of that bone x the parent's world matrix; its world matrix
    // is set to that and its children are re-posed from it. When the parent has no skin cache or the bone is
    // beyond its count, the node is drawn as a plain mesh. False when memory runs out.
    bool Add(SceneNode* node, const Matrix44* matrix, int overrideMaterial);
    // Deletes the entry's node and closes the gap.
    void RemoveAt(int index);

    int Count() const { return static_cast<int>(entries_.size()); }
    int Capacity() const { return static_cast<int>(entries_.capacity()); }
    const Entry& Get(int index) const { return entries_[index]; }
    // Forgets the entries (the nodes stay).
    void Clear() { entries_.clear(); }

private:
    std::vector<Entry> entries_;
};

}  // namespace engine
