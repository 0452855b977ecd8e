#include "engine/scene/box_tree.h"

#include <new>

#include "engine/scene/model_file_io.h"

namespace engine {

bool BoxTree::Load(ByteCursor& cursor, BoxTree& tree, std::uint32_t nodeCount) {
    std::uint32_t indexCount = 0, leafCount = 0;
    if (!mdl::ReadU32(cursor, indexCount) || !mdl::ReadU32(cursor, leafCount)) return false;
    // Every record must fit the data before anything is allocated for it.
    const std::uint64_t bytes = std::uint64_t{nodeCount} * 28 + std::uint64_t{leafCount} * 32 +
                                std::uint64_t{indexCount} * 4;
    if (nodeCount > kMaxNodes || leafCount > kMaxNodes || bytes > cursor.Remaining()) return false;
    try {
        tree.nodes.resize(nodeCount);
        tree.leaves.resize(leafCount);
        tree.indices.resize(indexCount);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (BoxTreeNode& node : tree.nodes) {
        mdl::ReadVec3(cursor, node.min);
        mdl::ReadVec3(cursor, node.max);
        mdl::ReadI16(cursor, node.link0);
        mdl::ReadI16(cursor, node.link1);
    }
    for (BoxTreeLeaf& leaf : tree.leaves) {
        mdl::ReadVec3(cursor, leaf.min);
        mdl::ReadVec3(cursor, leaf.max);
        mdl::ReadU32(cursor, leaf.count);
        mdl::ReadU32(cursor, leaf.first);
    }
    for (std::uint32_t& index : tree.indices) mdl::ReadU32(cursor, index);
    return !cursor.Failed();
}

void BoxTree::Serialise(ByteBuffer& buffer, const BoxTree& tree) {
    mdl::AppendU32(buffer, static_cast<std::uint32_t>(tree.nodes.size()));
    mdl::AppendU32(buffer, static_cast<std::uint32_t>(tree.indices.size()));
    mdl::AppendU32(buffer, static_cast<std::uint32_t>(tree.leaves.size()));
    for (const BoxTreeNode& node : tree.nodes) {
        mdl::AppendVec3(buffer, node.min);
        mdl::AppendVec3(buffer, node.max);
        mdl::AppendU16(buffer, static_cast<std::uint16_t>(node.link0));
        mdl::AppendU16(buffer, static_cast<std::uint16_t>(node.link1));
    }
    for (const BoxTreeLeaf& leaf : tree.leaves) {
        mdl::AppendVec3(buffer, leaf.min);
        mdl::AppendVec3(buffer, leaf.max);
        mdl::AppendU32(buffer, leaf.count);
        mdl::AppendU32(buffer, leaf.first);
    }
    for (std::uint32_t index : tree.indices) mdl::AppendU32(buffer, index);
}

bool BoxTree::Validate(std::uint32_t triangleCount) const {
    const int nodeCount = static_cast<int>(nodes.size());
    const int leafCount = static_cast<int>(leaves.size());
    if (nodeCount == 0) return false;
    for (const BoxTreeLeaf& leaf : leaves) {
        if (std::uint64_t{leaf.first} + leaf.count > indices.size()) return false;
    }
    for (std::uint32_t index : indices) {
        if (index >= triangleCount) return false;
    }
    std::vector<bool> reached(static_cast<std::size_t>(nodeCount), false);
    std::vector<int> stack{0};
    reached[0] = true;
    while (!stack.empty()) {
        const BoxTreeNode& node = nodes[static_cast<std::size_t>(stack.back())];
        stack.pop_back();
        for (int link : {int{node.link0}, int{node.link1}}) {
            const int leaf = LinkLeaf(link);
            if (leaf >= leafCount) return false;
            const int child = LinkNode(link);
            if (child < 0) continue;
            if (child >= nodeCount || reached[static_cast<std::size_t>(child)]) return false;
            reached[static_cast<std::size_t>(child)] = true;
            stack.push_back(child);
        }
    }
    return true;
}

}  // namespace engine
