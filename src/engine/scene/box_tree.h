#pragma once
// The triangle search tree a model file may bring: an axis-aligned box hierarchy over the model's collision
// triangles. Link encoding: a negative link L names leaf -L - 1, a positive one node L - 1, 0 nothing. Node 0
// is the root. Walks use an explicit stack, so a deep (chain-shaped) tree cannot exhaust the call stack.
#include <cstdint>
#include <vector>

#include "engine/core/vector.h"

namespace engine {

class ByteBuffer;
class ByteCursor;

struct BoxTreeNode {
    Vec3 min, max;
    std::int16_t link0 = 0, link1 = 0;
};

struct BoxTreeLeaf {
    Vec3 min, max;
    std::uint32_t count = 0;
    std::uint32_t first = 0;
};

class BoxTree {
public:
    static constexpr int kMaxNodes = 32767;

    // Reads the tree after its node count (already read, non-zero): index count, leaf count, nodes, leaves,
    // indices. False when the data run out.
    static bool Load(ByteCursor& cursor, BoxTree& tree, std::uint32_t nodeCount);
    // Node count, index count, leaf count, nodes, leaves, indices.
    static void Serialise(ByteBuffer& buffer, const BoxTree& tree);
    // Links within the node and leaf counts, leaf ranges within the indices, indices below triangleCount, and
    // every node reached at most once from node 0.
    bool Validate(std::uint32_t triangleCount) const;

    // Decoding of a link: the node or leaf index, -1 when the link names none of that kind.
    static int LinkNode(int link) { return link > 0 ? link - 1 : -1; }
    static int LinkLeaf(int link) { return link < 0 ? -link - 1 : -1; }
    static std::int16_t NodeLink(int node) { return static_cast<std::int16_t>(node + 1); }
    static std::int16_t LeafLink(int leaf) { return static_cast<std::int16_t>(-leaf - 1); }

    std::vector<BoxTreeNode> nodes;
    std::vector<BoxTreeLeaf> leaves;
    std::vector<std::uint32_t> indices;
};

}  // namespace engine
