#pragma once
// Compact vertex encodings: texture coordinates in 16-bit fixed point (4095 per unit), normals and tangents as
// bytes (c + 1) x 127 with the tangent's handedness in its top byte, bone indices and weights as bytes; and
// whole vertices of formats 1 to 5 written and read in those encodings.
#include <cstdint>
#include <span>

#include "engine/core/matrix.h"
#include "engine/core/vector.h"

namespace engine {

// u and v times 4095 as signed 16-bit values (beyond about +-8 they saturate), u in the low half.
std::uint32_t PackUV(float u, float v);
Vec2 UnpackUV(std::uint32_t packed);

// x, y, z clamped to [-1, 1], each byte the truncated (c + 1) x 127; top byte 0.
std::uint32_t PackNormal(const Vec3& normal);
Vec3 UnpackNormal(std::uint32_t packed);
// All four bytes as (byte - 127) / 127.
Vec4 UnpackVec4(std::uint32_t packed);

// The tangent made orthogonal to the normal, packed as a normal, with top byte 0xFE (reads +1) when
// (normal x tangent) . bitangent >= 0, else 0 (reads -1).
std::uint32_t PackTangent(const Vec3& normal, const Vec3& tangent, const Vec3& bitangent);

// Four bone indices, each replaced by its position in the remap list (0 when absent) when one is given.
std::uint32_t PackBoneIndices(const std::uint8_t indices[4], std::span<const std::uint8_t> remap);
// Four weights, each times 255 truncated.
std::uint32_t PackBoneWeights(const float weights[4]);

// One vertex before packing.
struct VertexSource {
    Vec3 position;
    Vec3 normal;
    Vec3 tangent;
    Vec3 bitangent;
    std::uint32_t colour = 0xFFFFFFFFu;  // ARGB
    Vec2 uv0;
    Vec2 uv1;
    std::uint8_t boneIndices[4] = {};
    std::uint32_t packedWeights = 0;  // four weight bytes, as a mesh record stores them
    float boneWeights[4] = {};        // the same as floats (WriteSkinnedVertex)
};

// Writes one vertex of format 1 to 5 (its stride in bytes): the position, then format 2 the colour, format 3
// the texture coordinate, format 1 the normal, formats 4 and 5 normal, tangent, colour and both texture
// coordinates, format 5 then bone indices (through the remap list) and the packed weights. False for other
// formats.
bool WritePackedVertex(int format, const VertexSource& source, std::span<const std::uint8_t> boneRemap,
                       std::uint8_t* out);
// Format 5 with the weights from the float weights.
void WriteSkinnedVertex(const VertexSource& source, std::span<const std::uint8_t> boneRemap, std::uint8_t* out);
// Reads one vertex of format 1 to 5 back; the bitangent gets the tangent's handedness. False for other formats.
bool UnpackVertex(int format, const std::uint8_t* data, VertexSource& out);

}  // namespace engine
