#include "engine/scene/model_file.h"

#include <cmath>
#include <cstring>
#include <new>
#include <string>

#include "engine/core/matrix.h"
#include "engine/platform/path_parts.h"
#include "engine/render/material_def.h"
#include "engine/render/material_file.h"
#include "engine/render/material_lib_hooks.h"
#include "engine/render/vertex_packing.h"
#include "engine/scene/box_tree.h"
#include "engine/scene/model_file_io.h"
#include "engine/scene/model_octree.h"
#include "engine/scene/skeleton.h"

namespace engine {

ModelDescription::ModelDescription() = default;
ModelDescription::~ModelDescription() = default;
ModelDescription::ModelDescription(ModelDescription&&) noexcept = default;
ModelDescription& ModelDescription::operator=(ModelDescription&&) noexcept = default;

int ResolveModelMaterial(const char* name) { return LoadMaterialFile(GetMaterialLib(), name); }

int StoredVertexStride(int format, int version) {
    switch (format) {
        case 1:
        case 2:
        case 3: return 16;
        case 4: return 32;
        case 5: return version <= 10 ? 32 : 40;
        default: return 0;
    }
}

int VertexStreamElementSize(int format) { return format >= 1 && format <= 5 ? StoredVertexStride(format, 15) : 0; }

namespace {

// The folder part (up to and including the last separator) of a narrow name.
std::string FolderOf(const std::string& name) {
    const std::size_t slash = name.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : name.substr(0, slash + 1);
}

int ResolveBatchMaterial(const WideString& stored, int version, const std::string& modelName,
                         const MaterialResolver& resolve) {
    const std::string text = stored.GetNarrow();
    if (text.empty() || !resolve) return 0;
    const std::string folder = FolderOf(modelName);
    std::string first = text;
    if (version < 12 && text.find_first_of("\\/") == std::string::npos) first = folder + text;
    int handle = resolve(first.c_str());
    if (handle == 0) {
        const std::string second = folder + GetFileNamePart(stored).GetNarrow();
        handle = resolve(second.c_str());
    }
    return handle;
}

// Versions 10 and older: the top byte of the word after the position is cleared (not for formats 2 and 3),
// and batches other than format 4 are written again as format 4, or 5 for the old skinned layout (which
// carries the format-4 fields in 32 bytes, without bone data).
bool ConvertOldBatchVertices(MeshBatch& batch) {
    const int format = batch.vertexFormat;
    const int stride = StoredVertexStride(format, 10);
    if (format != 2 && format != 3) {
        for (int v = 0; v < batch.vertexCount; ++v) batch.vertexData[static_cast<std::size_t>(v) * stride + 15] = 0;
    }
    if (format == 4) return true;
    const int target = format == 5 ? 5 : 4;
    const int targetStride = StoredVertexStride(target, 15);
    std::vector<std::uint8_t> converted;
    try {
        converted.resize(static_cast<std::size_t>(batch.vertexCount) * targetStride);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int v = 0; v < batch.vertexCount; ++v) {
        VertexSource source;
        UnpackVertex(format == 5 ? 4 : format, batch.vertexData.data() + static_cast<std::size_t>(v) * stride,
                     source);
        std::uint8_t* out = converted.data() + static_cast<std::size_t>(v) * targetStride;
        if (target == 5) {
            WriteSkinnedVertex(source, {}, out);
        } else {
            WritePackedVertex(4, source, {}, out);
        }
    }
    batch.vertexData = std::move(converted);
    batch.vertexFormat = target;
    return true;
}

const Matrix44 kIdentity;

bool FrameInvertible(const Matrix44& m) {
    const double det = double{m.m[0][0]} * (double{m.m[1][1]} * m.m[2][2] - double{m.m[1][2]} * m.m[2][1]) -
                       double{m.m[0][1]} * (double{m.m[1][0]} * m.m[2][2] - double{m.m[1][2]} * m.m[2][0]) +
                       double{m.m[0][2]} * (double{m.m[1][0]} * m.m[2][1] - double{m.m[1][1]} * m.m[2][0]);
    return std::isfinite(det) && std::fabs(det) > 1e-12;
}

bool ReadBatch(ByteCursor& cursor, int version, MeshBatch& batch, BoneSet& bones, WideString& material) {
    std::uint16_t format = 0, indexCount = 0;
    std::uint32_t vertexCount = 0;
    ReadU16(cursor, format);
    mdl::ReadU32(cursor, vertexCount);
    if (version < 10) cursor.Skip(2);
    ReadU16(cursor, indexCount);
    if (version < 11) cursor.Skip(2);
    if (version < 6) cursor.Skip(2);
    mdl::ReadVec3(cursor, batch.centre);
    ReadFloat(cursor, batch.radius);
    if (!ReadShortString(cursor, material)) return false;
    if (version >= 13) {
        std::uint8_t count = 0;
        if (!ReadU8(cursor, count) || count > BoneSet::kMaxBones) return false;
        bones.count = count;
        if (!cursor.ReadBytes(bones.bones, count)) return false;
    }
    std::uint32_t bytes = 0;
    if (!mdl::ReadU32(cursor, bytes) || cursor.Failed()) return false;
    const int stride = StoredVertexStride(format, version);
    if (stride == 0 || std::uint64_t{vertexCount} * stride != bytes || bytes > cursor.Remaining()) return false;
    if (indexCount % 3 != 0) return false;
    batch.vertexFormat = format;
    batch.vertexCount = static_cast<int>(vertexCount);
    batch.indexCount = indexCount;
    try {
        batch.vertexData.resize(bytes);
        batch.indices.resize(indexCount);
    } catch (const std::bad_alloc&) {
        return false;
    }
    cursor.ReadBytes(batch.vertexData.data(), bytes);
    for (std::uint16_t& index : batch.indices) {
        if (!ReadU16(cursor, index) || index >= vertexCount) return false;
    }
    if (version <= 10 && !ConvertOldBatchVertices(batch)) return false;
    return !cursor.Failed();
}

bool ReadTriangles(ByteCursor& cursor, ModelDescription& out) {
    std::uint32_t count = 0;
    if (!mdl::ReadU32(cursor, count) || std::uint64_t{count} * 32 > cursor.Remaining()) return false;
    try {
        out.triangles.resize(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (RenderTriangle& t : out.triangles) {
        std::uint32_t i[3] = {};
        ReadU16(cursor, t.batch);
        ReadU16(cursor, t.surface);
        mdl::ReadU32(cursor, i[0]);
        mdl::ReadU32(cursor, i[1]);
        mdl::ReadU32(cursor, i[2]);
        ReadFloat(cursor, t.planeDistance);
        mdl::ReadVec3(cursor, t.normal);
        if (t.batch >= out.batches.size()) return false;
        const std::uint32_t vertices = static_cast<std::uint32_t>(out.batches[t.batch].vertexCount);
        if (i[0] >= vertices || i[1] >= vertices || i[2] >= vertices) return false;
        t.i0 = static_cast<int>(i[0]), t.i1 = static_cast<int>(i[1]), t.i2 = static_cast<int>(i[2]);
    }
    return !cursor.Failed();
}

bool ReadSkeleton(ByteCursor& cursor, int version, ModelDescription& out) {
    std::int16_t boneCount = 0;
    if (!mdl::ReadI16(cursor, boneCount) || boneCount < 0) return false;
    for (const BoneSet& set : out.boneSets) {
        for (int i = 0; i < set.count; ++i) {
            if (set.bones[i] >= boneCount) return false;
        }
    }
    if (boneCount == 0) return true;
    if (version < 15) cursor.Skip(2);
    auto skeleton = std::make_unique<Skeleton>();
    if (!skeleton->Init(boneCount)) return false;
    for (Bone& bone : skeleton->bones) {
        std::int16_t frames = 0;
        if (!mdl::ReadI16(cursor, frames) || !mdl::ReadI16(cursor, bone.parent)) return false;
        if (frames < 1 || bone.parent > boneCount || std::size_t(frames) * 48 > cursor.Remaining()) return false;
        bone.frames.resize(static_cast<std::size_t>(frames));
        Matrix44 inverse;
        bool bindIsIdentity = false;
        for (int k = 0; k < frames; ++k) {
            Matrix44 frame;
            if (!ReadMatrix4x3(cursor, frame)) return false;
            frame.m[0][3] = frame.m[1][3] = frame.m[2][3] = 0.0f;
            frame.m[3][3] = 1.0f;
            if (k == 0) {
                if (!FrameInvertible(frame)) return false;
                Matrix44::InverseAffine(frame, inverse);
                // A saved model's frames are already relative to the bind pose: they are kept bit for bit,
                // so that saving again writes the same bytes.
                bindIsIdentity = std::memcmp(&frame, &kIdentity, sizeof(Matrix44)) == 0;
            }
            Matrix44& out = bone.frames[static_cast<std::size_t>(k)];
            if (k == 0) {
                out = Matrix44();
            } else if (bindIsIdentity) {
                out = frame;
            } else {
                // inverse(F0) applied first, then Fk.
                Matrix44::MultiplyAffine(frame, out, inverse);
            }
        }
        if (version >= 15) {
            std::int16_t remapCount = 0;
            if (!mdl::ReadI16(cursor, remapCount) || remapCount < 0) return false;
            if (std::size_t(remapCount) * 2 > cursor.Remaining()) return false;
            bone.remap.resize(static_cast<std::size_t>(remapCount));
            for (std::uint16_t& entry : bone.remap) {
                if (!ReadU16(cursor, entry) || entry >= frames) return false;
            }
        }
    }
    skeleton->Link();
    out.skeleton = std::move(skeleton);
    return !cursor.Failed();
}

}  // namespace

bool ParseModelFile(const std::uint8_t* data, std::size_t size, const WideString& name,
                    const MaterialResolver& resolve, ModelDescription& out) {
    out = ModelDescription();
    std::size_t start = 0;
    if (size >= 8 && LoadU32(data) == 3 && std::uint64_t{LoadU32(data + 4)} + 16 == size) start = 8;
    ByteCursor cursor(data + start, size - start);
    std::uint8_t version = 0, format = 0;
    if (!ReadU8(cursor, version)) return false;
    out.version = version;
    const int v = version > kModelFileVersion ? kModelFileVersion : version;
    if (v < 12) {
        WideString stored;
        if (!ReadShortString(cursor, stored)) return false;
    }
    std::int16_t batchCount = 0;
    if (!ReadU8(cursor, format) || !mdl::ReadI16(cursor, batchCount) || batchCount < 0) return false;
    out.vertexFormat = format;
    const std::string modelName = name.GetNarrow();
    try {
        out.batches.resize(static_cast<std::size_t>(batchCount));
        out.boneSets.resize(static_cast<std::size_t>(batchCount));
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::vector<WideString> materials(static_cast<std::size_t>(batchCount));
    for (int b = 0; b < batchCount; ++b) {
        if (!ReadBatch(cursor, v, out.batches[b], out.boneSets[b], materials[b])) return false;
    }
    if (!ReadTriangles(cursor, out)) return false;
    ReadFloat(cursor, out.radius);
    mdl::ReadVec3(cursor, out.boundsMin);
    mdl::ReadVec3(cursor, out.boundsMax);
    mdl::ReadVec3(cursor, out.centre);
    if (cursor.Failed() || !ReadSkeleton(cursor, v, out)) return false;
    if (v >= 9) {
        std::uint32_t nodeCount = 0;
        if (!mdl::ReadU32(cursor, nodeCount)) return false;
        if (nodeCount != 0) {
            out.boxTree = std::make_unique<BoxTree>();
            if (!BoxTree::Load(cursor, *out.boxTree, nodeCount)) return false;
            if (!out.boxTree->Validate(static_cast<std::uint32_t>(out.triangles.size()))) return false;
        }
    }
    if (v >= 14) {
        std::uint32_t leafCount = 0;
        if (!mdl::ReadU32(cursor, leafCount)) return false;
        if (leafCount != 0) {
            out.octree = std::make_unique<ModelOctree>();
            if (!ModelOctree::Load(cursor, *out.octree, leafCount)) return false;
            if (!out.octree->Validate(batchCount)) return false;
        }
    }
    if (cursor.Failed()) return false;
    // Materials are loaded only once the whole file has passed.
    for (int b = 0; b < batchCount; ++b) out.batches[b].material = ResolveBatchMaterial(materials[b], v, modelName, resolve);
    return true;
}

}  // namespace engine
