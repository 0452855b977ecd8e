#pragma once
// Model files written field by field, for the model tests and the fuzz seeds: every version the reader takes,
// and every field open to damage.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/byte_buffer.h"
#include "engine/core/matrix.h"
#include "engine/scene/box_tree.h"
#include "engine/scene/model_octree.h"

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

// Little-endian fields appended to a byte list; a string is its byte count (one byte) and its bytes.
void PutU8(Bytes& out, std::uint32_t v);
void PutU16(Bytes& out, std::uint32_t v);
void PutU32(Bytes& out, std::uint32_t v);
void PutF32(Bytes& out, float f);
void PutString(Bytes& out, const std::string& s);
void PutBuffer(Bytes& out, const engine::ByteBuffer& buffer);

// A model file of one triangle batch and no bones or trees, until the fields say otherwise.
struct ModelFileImage {
    int version = 15;
    struct Batch {
        int format = 4;
        std::uint32_t vertexCount = 3;
        std::uint16_t indexCount = 3;
        std::string material;
        std::vector<std::uint8_t> bones;
        std::int64_t vertexBytes = -1;  // -1: count x stride
        std::vector<std::uint16_t> indices{0, 1, 2};
    };
    std::vector<Batch> batches{Batch{}};
    struct Triangle {
        std::uint16_t batch = 0;
        std::uint32_t i[3] = {0, 1, 2};
    };
    std::vector<Triangle> triangles{Triangle{}};
    struct BoneRecord {
        std::int16_t parent = 0;
        std::vector<engine::Matrix44> frames{engine::Matrix44()};
        std::vector<std::uint16_t> remap;
    };
    std::vector<BoneRecord> bones;
    const engine::BoxTree* boxTree = nullptr;
    const engine::ModelOctree* octree = nullptr;
    std::string storedName = "Old";

    // The file's bytes as the fields stand.
    Bytes Write() const;
};

}  // namespace testsupport
