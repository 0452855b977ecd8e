#pragma once
// The ".MDL" model file. Reading is split in two: a CPU parse that checks the whole buffer and builds a model
// description without touching the device, then the upload (MeshModel::Upload) that makes the buffers.
// Writing (MeshModel::SaveToBuffer) produces version 15.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/core/vector.h"
#include "engine/core/wide_string.h"
#include "engine/render/mesh_batch.h"
#include "engine/scene/mesh_model.h"

namespace engine {

class BoxTree;
class ModelOctree;
class Skeleton;

constexpr int kModelFileVersion = 15;

// Everything a model file holds, checked and ready for the upload.
struct ModelDescription {
    ModelDescription();
    ~ModelDescription();
    ModelDescription(ModelDescription&&) noexcept;
    ModelDescription& operator=(ModelDescription&&) noexcept;

    std::uint8_t version = 0;
    int vertexFormat = 4;
    std::vector<MeshBatch> batches;  // buffers and bone sets null
    std::vector<BoneSet> boneSets;   // per batch; a count of 0 attaches none
    std::vector<RenderTriangle> triangles;
    float radius = 0.0f;
    Vec3 boundsMin, boundsMax, centre;
    std::unique_ptr<Skeleton> skeleton;
    std::unique_ptr<BoxTree> boxTree;
    std::unique_ptr<ModelOctree> octree;
};

// Resolves a stored material name to a MaterialLib handle (0 when none).
using MaterialResolver = std::function<int(const char* name)>;
// The engine's resolver: LoadMaterialFile on the engine's material table.
int ResolveModelMaterial(const char* name);

// Parses a whole model file (with or without the container header) loaded under name. False when anything
// does not fit: a read beyond the data, a vertex byte length other than count x stride, a format outside
// 1-5, an index at or beyond the vertex count, an index count not a multiple of 3, a collision triangle
// naming a missing batch or vertex, a bone set of more than 40 or naming a missing bone, a bone without
// frames or with a singular frame 0, a parent or remap entry out of range, or a box tree or octree with
// links, ranges or indices out of range or that is not a tree.
bool ParseModelFile(const std::uint8_t* data, std::size_t size, const WideString& name,
                    const MaterialResolver& resolve, ModelDescription& out);

// Bytes per vertex of a stored batch of the format in a file of the version; 0 for an unknown format.
int StoredVertexStride(int format, int version);
// WriteVertexStream's element size: 16 for formats 1-3, 32 for 4, 40 for 5, else 0.
int VertexStreamElementSize(int format);

}  // namespace engine
