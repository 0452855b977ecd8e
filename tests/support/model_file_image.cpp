#include "support/model_file_image.h"

#include <cstring>

#include "engine/scene/model_file.h"

namespace testsupport {

using namespace engine;

void PutU8(Bytes& out, std::uint32_t v) { out.push_back(static_cast<std::uint8_t>(v)); }
void PutU16(Bytes& out, std::uint32_t v) { PutU8(out, v), PutU8(out, v >> 8); }
void PutU32(Bytes& out, std::uint32_t v) { PutU16(out, v), PutU16(out, v >> 16); }
void PutF32(Bytes& out, float f) {
    std::uint32_t v;
    std::memcpy(&v, &f, 4);
    PutU32(out, v);
}
void PutString(Bytes& out, const std::string& s) {
    PutU8(out, static_cast<std::uint32_t>(s.size()));
    out.insert(out.end(), s.begin(), s.end());
}
void PutBuffer(Bytes& out, const ByteBuffer& buffer) { out.insert(out.end(), buffer.Data(), buffer.Data() + buffer.Size()); }

Bytes ModelFileImage::Write() const {
    Bytes out;
    PutU8(out, static_cast<std::uint32_t>(version));
    if (version < 12) PutString(out, storedName);
    PutU8(out, 4);
    PutU16(out, static_cast<std::uint32_t>(batches.size()));
    for (const Batch& b : batches) {
        PutU16(out, static_cast<std::uint32_t>(b.format));
        PutU32(out, b.vertexCount);
        if (version < 10) PutU16(out, 0);
        PutU16(out, b.indexCount);
        if (version < 11) PutU16(out, 0);
        if (version < 6) PutU16(out, 0);
        PutF32(out, 0), PutF32(out, 0), PutF32(out, 0), PutF32(out, 1);
        PutString(out, b.material);
        if (version >= 13) {
            PutU8(out, static_cast<std::uint32_t>(b.bones.size()));
            out.insert(out.end(), b.bones.begin(), b.bones.end());
        }
        const int stride = StoredVertexStride(b.format, version);
        const std::uint32_t bytes = b.vertexBytes >= 0 ? static_cast<std::uint32_t>(b.vertexBytes) : b.vertexCount * stride;
        PutU32(out, bytes);
        for (std::uint32_t i = 0; i < bytes; ++i) {
            // Vertex v at (v, 0, v % 2) as floats, the rest 0x7F bytes (normal-like words).
            const std::uint32_t v = i / static_cast<std::uint32_t>(stride == 0 ? 1 : stride);
            const std::uint32_t at = i % static_cast<std::uint32_t>(stride == 0 ? 1 : stride);
            if (at < 12) {
                const float p[3] = {static_cast<float>(v), 0.0f, static_cast<float>(v % 2)};
                std::uint8_t raw[12];
                std::memcpy(raw, p, 12);
                PutU8(out, raw[at]);
            } else {
                PutU8(out, 0xFF);
            }
        }
        for (std::uint16_t index : b.indices) PutU16(out, index);
    }
    PutU32(out, static_cast<std::uint32_t>(triangles.size()));
    for (const Triangle& t : triangles) {
        PutU16(out, t.batch), PutU16(out, 0);
        PutU32(out, t.i[0]), PutU32(out, t.i[1]), PutU32(out, t.i[2]);
        PutF32(out, 0), PutF32(out, 0), PutF32(out, 1), PutF32(out, 0);
    }
    PutF32(out, 1);
    for (float f : {0.f, 0.f, 0.f, 1.f, 1.f, 1.f, .5f, .5f, .5f}) PutF32(out, f);
    PutU16(out, static_cast<std::uint32_t>(bones.size()));
    if (!bones.empty() && version < 15) PutU16(out, 0);
    for (const BoneRecord& bone : bones) {
        PutU16(out, static_cast<std::uint32_t>(bone.frames.size()));
        PutU16(out, static_cast<std::uint16_t>(bone.parent));
        for (const Matrix44& m : bone.frames) {
            for (int r = 0; r < 4; ++r) PutF32(out, m.m[r][0]), PutF32(out, m.m[r][1]), PutF32(out, m.m[r][2]);
        }
        if (version >= 15) {
            PutU16(out, static_cast<std::uint32_t>(bone.remap.size()));
            for (std::uint16_t r : bone.remap) PutU16(out, r);
        }
    }
    if (version >= 9) {
        ByteBuffer tree;
        tree.Init(0);
        if (boxTree != nullptr) {
            BoxTree::Serialise(tree, *boxTree);
        } else {
            PutU32(out, 0);
        }
        PutBuffer(out, tree);
    }
    if (version >= 14) {
        ByteBuffer oct;
        oct.Init(0);
        if (octree != nullptr) {
            ModelOctree::Serialise(oct, *octree);
        } else {
            PutU32(out, 0);
        }
        PutBuffer(out, oct);
    }
    return out;
}

}  // namespace testsupport
