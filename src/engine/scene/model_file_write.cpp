// A mesh model's side of the model file: loading a checked description into the model, and saving.
#include <algorithm>
#include <cstring>

#include "engine/render/material_def.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/scene/box_tree.h"
#include "engine/scene/mesh_model.h"
#include "engine/scene/model_file.h"
#include "engine/scene/model_file_io.h"
#include "engine/scene/model_octree.h"
#include "engine/scene/model_table.h"
#include "engine/scene/skeleton.h"

namespace engine {
namespace {

// The material's name as stored: empty for none, "Default" (handle 1) and handles that name no material.
std::string StoredMaterialName(int handle) {
    const MaterialLib& lib = GetMaterialLib();
    if (handle <= 1 || handle >= lib.Count()) return {};
    const MaterialDef* material = lib.Get(handle);
    if (material == nullptr) return {};
    std::string name = material->GetName().GetNarrow();
    if (name.size() > 255) name.resize(255);
    return name;
}

}  // namespace

bool MeshModel::LoadFromBuffer(const ByteBuffer& buffer, const WideString& loadName) {
    group = CurrentResourceGroup();
    ModelDescription description;
    if (!ParseModelFile(buffer.Data(), buffer.Size(), loadName, ResolveModelMaterial, description)) return false;
    name = loadName;
    return Upload(std::move(description));
}

bool MeshModel::Upload(ModelDescription&& description) {
    ReleaseBuffers();
    fileVersion = description.version;
    vertexFormat = description.vertexFormat;
    auto table = std::make_unique<BatchTable>();
    table->batches = std::move(description.batches);
    table->triangles = std::move(description.triangles);
    batches = std::move(table);
    bool made = true;
    for (std::size_t b = 0; b < batches->batches.size(); ++b) {
        MeshBatch& batch = batches->batches[b];
        if (description.boneSets[b].count > 0) batch.boneSet = new BoneSet(description.boneSets[b]);
        made = made && CreateDeviceBuffers(batch);
    }
    if (!made) {
        ReleaseBuffers();
        return false;
    }
    radius = description.radius;
    boundsMin = description.boundsMin;
    boundsMax = description.boundsMax;
    centre = description.centre;
    skeleton = std::move(description.skeleton);
    boxTree = std::move(description.boxTree);
    octree = std::move(description.octree);
    return true;
}

void MeshModel::WriteVertexStream(ByteBuffer& buffer, int b) const {
    const MeshBatch* batch = GetBatch(b);
    if (batch == nullptr) return;
    const std::size_t bytes =
        std::min(static_cast<std::size_t>(batch->vertexCount) * VertexStreamElementSize(batch->vertexFormat),
                 batch->vertexData.size());
    mdl::AppendU32(buffer, static_cast<std::uint32_t>(bytes));
    if (bytes > 0) buffer.Append(batch->vertexData.data(), static_cast<std::uint32_t>(bytes));
}

std::unique_ptr<ByteBuffer> MeshModel::SaveToBuffer() const {
    auto buffer = std::make_unique<ByteBuffer>();
    if (!buffer->Init(0x4000)) return nullptr;
    ByteBuffer& out = *buffer;
    const int batchCount = GetBatchCount();
    if (batchCount > kMaxBatches) return nullptr;
    mdl::AppendU8(out, kModelFileVersion);
    mdl::AppendU8(out, static_cast<std::uint32_t>(vertexFormat));
    mdl::AppendU16(out, static_cast<std::uint32_t>(batchCount));
    for (int b = 0; b < batchCount; ++b) {
        const MeshBatch& batch = batches->batches[static_cast<std::size_t>(b)];
        mdl::AppendU16(out, static_cast<std::uint32_t>(batch.vertexFormat));
        mdl::AppendU32(out, static_cast<std::uint32_t>(batch.vertexCount));
        mdl::AppendU16(out, static_cast<std::uint32_t>(batch.indexCount));
        mdl::AppendVec3(out, batch.centre);
        mdl::AppendF32(out, batch.radius);
        const std::string material = StoredMaterialName(batch.material);
        mdl::AppendU8(out, static_cast<std::uint32_t>(material.size()));
        out.Append(material.data(), static_cast<std::uint32_t>(material.size()));
        if (batch.boneSet != nullptr) {
            mdl::AppendU8(out, static_cast<std::uint32_t>(batch.boneSet->count));
            out.Append(batch.boneSet->bones, static_cast<std::uint32_t>(batch.boneSet->count));
        } else {
            mdl::AppendU8(out, 0);
        }
        WriteVertexStream(out, b);
        for (std::uint16_t index : batch.indices) mdl::AppendU16(out, index);
    }
    mdl::AppendU32(out, static_cast<std::uint32_t>(GetTriangleCount()));
    for (int i = 0; i < GetTriangleCount(); ++i) {
        const RenderTriangle& t = batches->triangles[static_cast<std::size_t>(i)];
        mdl::AppendU16(out, t.batch);
        mdl::AppendU16(out, t.surface);
        mdl::AppendU32(out, static_cast<std::uint32_t>(t.i0));
        mdl::AppendU32(out, static_cast<std::uint32_t>(t.i1));
        mdl::AppendU32(out, static_cast<std::uint32_t>(t.i2));
        mdl::AppendF32(out, t.planeDistance);
        mdl::AppendVec3(out, t.normal);
    }
    mdl::AppendF32(out, radius);
    mdl::AppendVec3(out, boundsMin);
    mdl::AppendVec3(out, boundsMax);
    mdl::AppendVec3(out, centre);
    if (skeleton && skeleton->BoneCount() > 0) {
        mdl::AppendU16(out, static_cast<std::uint32_t>(skeleton->BoneCount()));
        for (const Bone& bone : skeleton->bones) {
            mdl::AppendU16(out, static_cast<std::uint32_t>(bone.frames.size()));
            mdl::AppendU16(out, static_cast<std::uint16_t>(bone.parent));
            for (const Matrix44& frame : bone.frames) {
                for (int row = 0; row < 4; ++row) mdl::AppendVec3(out, frame.Row(row));
            }
            mdl::AppendU16(out, static_cast<std::uint32_t>(bone.remap.size()));
            for (std::uint16_t entry : bone.remap) mdl::AppendU16(out, entry);
        }
    } else {
        mdl::AppendU16(out, 0);
    }
    if (boxTree) {
        BoxTree::Serialise(out, *boxTree);
    } else {
        mdl::AppendU32(out, 0);
    }
    if (octree) {
        ModelOctree::Serialise(out, *octree);
    } else {
        mdl::AppendU32(out, 0);
    }
    return buffer;
}

}  // namespace engine
