#pragma once
// The batch-culling tree of a large static model: inner nodes with up to eight children and leaves that each
// cover a consecutive range of the model's batches with the box around them. 0xFFFF names no leaf or child.
// Node 0 is the root; the walk uses an explicit stack.
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/core/vector.h"

namespace engine {

class ByteBuffer;
class ByteCursor;
class Camera;
class SceneNode;

struct OctreeLeaf {
    Vec3 min, max;
    std::uint16_t firstBatch = 0;
    std::uint16_t batchCount = 0;
};

struct OctreeNode {
    Vec3 centre;
    float halfSize = 0.0f;
    std::uint16_t leaf = 0xFFFF;
    std::uint16_t children[8] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
};

// Receives each visible batch of an octree query with the octree node it came from and its material.
using OctreeBatchSink = std::function<void(int octreeNode, int batch, int material)>;

class ModelOctree {
public:
    static constexpr std::uint16_t kNone = 0xFFFF;

    // Reads the octree after its leaf count (already read, non-zero): node count, leaves, nodes.
    static bool Load(ByteCursor& cursor, ModelOctree& octree, std::uint32_t leafCount);
    // Leaf count, node count, leaves, nodes.
    static void Serialise(ByteBuffer& buffer, const ModelOctree& octree);
    // Children and leaves within their counts, batch ranges within batchCount, every node reached at most
    // once from node 0.
    bool Validate(int batchCount) const;

    // The visible batches of the node's model through the model's octree, handed to the sink with the
    // material: the node's subtree material, else the batch material, else the node's material, else
    // "Default". Batches are tested as spheres grown by the start-up record's cull margin. Does nothing when
    // the node's model has no octree. The number of octree nodes visited adds to VisitedNodeCount.
    static void QueryNode(const Camera& camera, const SceneNode& node, const OctreeBatchSink& sink);
    static int VisitedNodeCount();
    static void ClearVisitedNodeCount();

    std::vector<OctreeLeaf> leaves;
    std::vector<OctreeNode> nodes;
};

}  // namespace engine
