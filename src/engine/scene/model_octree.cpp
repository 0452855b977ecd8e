#include "engine/scene/model_octree.h"

#include <new>

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/camera.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_file_io.h"
#include "engine/scene/model_queries.h"
#include "engine/scene/scene_node.h"

namespace engine {
namespace {

int g_visitedNodes = 0;

Aabb CubeOf(const OctreeNode& node) {
    const Vec3 half(node.halfSize, node.halfSize, node.halfSize);
    return {node.centre.Sub(half), node.centre.Add(half)};
}

}  // namespace

bool ModelOctree::Load(ByteCursor& cursor, ModelOctree& octree, std::uint32_t leafCount) {
    std::uint32_t nodeCount = 0;
    if (!mdl::ReadU32(cursor, nodeCount)) return false;
    const std::uint64_t bytes = std::uint64_t{leafCount} * 28 + std::uint64_t{nodeCount} * 34;
    if (leafCount > kNone || nodeCount > kNone || bytes > cursor.Remaining()) return false;
    try {
        octree.leaves.resize(leafCount);
        octree.nodes.resize(nodeCount);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (OctreeLeaf& leaf : octree.leaves) {
        ReadU16(cursor, leaf.firstBatch);
        ReadU16(cursor, leaf.batchCount);
        mdl::ReadVec3(cursor, leaf.min);
        mdl::ReadVec3(cursor, leaf.max);
    }
    for (OctreeNode& node : octree.nodes) {
        mdl::ReadVec3(cursor, node.centre);
        ReadFloat(cursor, node.halfSize);
        ReadU16(cursor, node.leaf);
        for (std::uint16_t& child : node.children) ReadU16(cursor, child);
    }
    return !cursor.Failed();
}

void ModelOctree::Serialise(ByteBuffer& buffer, const ModelOctree& octree) {
    mdl::AppendU32(buffer, static_cast<std::uint32_t>(octree.leaves.size()));
    mdl::AppendU32(buffer, static_cast<std::uint32_t>(octree.nodes.size()));
    for (const OctreeLeaf& leaf : octree.leaves) {
        mdl::AppendU16(buffer, leaf.firstBatch);
        mdl::AppendU16(buffer, leaf.batchCount);
        mdl::AppendVec3(buffer, leaf.min);
        mdl::AppendVec3(buffer, leaf.max);
    }
    for (const OctreeNode& node : octree.nodes) {
        mdl::AppendVec3(buffer, node.centre);
        mdl::AppendF32(buffer, node.halfSize);
        mdl::AppendU16(buffer, node.leaf);
        for (std::uint16_t child : node.children) mdl::AppendU16(buffer, child);
    }
}

bool ModelOctree::Validate(int batchCount) const {
    const std::size_t nodeCount = nodes.size();
    if (nodeCount == 0) return false;
    for (const OctreeLeaf& leaf : leaves) {
        if (int{leaf.firstBatch} + int{leaf.batchCount} > batchCount) return false;
    }
    std::vector<bool> reached(nodeCount, false);
    std::vector<std::size_t> stack{0};
    reached[0] = true;
    while (!stack.empty()) {
        const OctreeNode& node = nodes[stack.back()];
        stack.pop_back();
        if (node.leaf != kNone) {
            if (node.leaf >= leaves.size()) return false;
            continue;
        }
        for (std::uint16_t child : node.children) {
            if (child == kNone) continue;
            if (child >= nodeCount || reached[child]) return false;
            reached[child] = true;
            stack.push_back(child);
        }
    }
    return true;
}

int ModelOctree::VisitedNodeCount() { return g_visitedNodes; }
void ModelOctree::ClearVisitedNodeCount() { g_visitedNodes = 0; }

void ModelOctree::QueryNode(const Camera& camera, const SceneNode& node, const OctreeBatchSink& sink) {
    const Model* model = node.GetModel();
    if (model == nullptr || !model->octree || !model->batches) return;
    const ModelOctree& octree = *model->octree;
    const MaterialLib& lib = GetMaterialLib();
    const float margin = GetModelQueryOptions().cullMargin;
    std::vector<std::uint16_t> stack{0};
    while (!stack.empty()) {
        const std::uint16_t index = stack.back();
        stack.pop_back();
        const OctreeNode& current = octree.nodes[index];
        ++g_visitedNodes;
        if (camera.BoxVisible(CubeOf(current)) == 0) continue;
        if (current.leaf == kNone) {
            // Children in slot order: pushed in reverse.
            for (int slot = 7; slot >= 0; --slot) {
                if (current.children[slot] != kNone) stack.push_back(current.children[slot]);
            }
            continue;
        }
        const OctreeLeaf& leaf = octree.leaves[current.leaf];
        if (camera.BoxVisible({leaf.min, leaf.max}) == 0) continue;
        for (int b = leaf.firstBatch; b < leaf.firstBatch + leaf.batchCount; ++b) {
            const MeshBatch& batch = model->batches->batches[static_cast<std::size_t>(b)];
            if (camera.SphereVisible(batch.centre, batch.radius + margin) == 0) continue;
            int material = node.GetSubtreeMaterial();
            if (material == 0) material = batch.material;
            if (material == 0) material = node.GetMaterial();
            if (material == 0) material = lib.DefaultHandle();
            sink(index, b, material);
        }
    }
}

}  // namespace engine
