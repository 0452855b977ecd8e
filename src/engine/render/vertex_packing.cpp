#include "engine/render/vertex_packing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/render/vertex_formats.h"

namespace engine {
namespace {

constexpr float kUvScale = 4095.0f;
constexpr float kUvUnscale = 0.00024420026f;
constexpr float kNormalUnscale = 0.007874016f;

std::uint32_t PackUvComponent(float c) {
    const float scaled = std::isnan(c) ? 0.0f : std::clamp(c * kUvScale, -32768.0f, 32767.0f);
    return static_cast<std::uint32_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(scaled)));
}

std::uint32_t NormalByte(float c) {
    const float clamped = std::isnan(c) ? 0.0f : std::clamp(c, -1.0f, 1.0f);
    return static_cast<std::uint32_t>((clamped + 1.0f) * 127.0f);
}

float UnpackByte(std::uint32_t packed, int shift) {
    return (static_cast<float>((packed >> shift) & 0xFF) - 127.0f) * kNormalUnscale;
}

void Put(std::uint8_t*& out, const void* data, std::size_t bytes) {
    std::memcpy(out, data, bytes);
    out += bytes;
}

void PutWord(std::uint8_t*& out, std::uint32_t word) { Put(out, &word, sizeof word); }

std::uint32_t GetWord(const std::uint8_t*& in) {
    std::uint32_t word = 0;
    std::memcpy(&word, in, sizeof word);
    in += sizeof word;
    return word;
}

void PutPosition(std::uint8_t*& out, const Vec3& p) {
    const float xyz[3] = {p.x, p.y, p.z};
    Put(out, xyz, sizeof xyz);
}

void PutMeshPart(std::uint8_t*& out, const VertexSource& source) {
    PutWord(out, PackNormal(source.normal));
    PutWord(out, PackTangent(source.normal, source.tangent, source.bitangent));
    PutWord(out, source.colour);
    PutWord(out, PackUV(source.uv0.x, source.uv0.y));
    PutWord(out, PackUV(source.uv1.x, source.uv1.y));
}

}  // namespace

std::uint32_t PackUV(float u, float v) { return PackUvComponent(u) | (PackUvComponent(v) << 16); }

Vec2 UnpackUV(std::uint32_t packed) {
    const auto u = static_cast<std::int16_t>(packed & 0xFFFF);
    const auto v = static_cast<std::int16_t>(packed >> 16);
    return {static_cast<float>(u) * kUvUnscale, static_cast<float>(v) * kUvUnscale};
}

std::uint32_t PackNormal(const Vec3& normal) {
    return NormalByte(normal.x) | (NormalByte(normal.y) << 8) | (NormalByte(normal.z) << 16);
}

Vec3 UnpackNormal(std::uint32_t packed) {
    return {UnpackByte(packed, 0), UnpackByte(packed, 8), UnpackByte(packed, 16)};
}

Vec4 UnpackVec4(std::uint32_t packed) {
    return {UnpackByte(packed, 0), UnpackByte(packed, 8), UnpackByte(packed, 16), UnpackByte(packed, 24)};
}

std::uint32_t PackTangent(const Vec3& normal, const Vec3& tangent, const Vec3& bitangent) {
    Vec3 t = tangent.NormalisedSafe();
    t = t.Sub(normal.Scale(normal.Dot(t))).NormalisedSafe();
    const bool finite = std::isfinite(t.x) && std::isfinite(t.y) && std::isfinite(t.z);
    if (!finite || t.LengthSquared() < 0.5f) {
        // No usable tangent (a zero or non-finite sum, or one along the normal): a fixed unit tangent
        // perpendicular to the normal, from the axis least aligned with it.
        const Vec3 axis = std::fabs(normal.x) < 0.6f ? kAxisX : (std::fabs(normal.y) < 0.6f ? kAxisY : kAxisZ);
        t = axis.Sub(normal.Scale(normal.Dot(axis))).NormalisedSafe();
        if (!(std::isfinite(t.x) && std::isfinite(t.y) && std::isfinite(t.z))) t = kAxisX;
    }
    const std::uint32_t handedness = normal.Cross(t).Dot(bitangent) >= 0.0f ? 0xFEu : 0u;
    return PackNormal(t) | (handedness << 24);
}

std::uint32_t PackBoneIndices(const std::uint8_t indices[4], std::span<const std::uint8_t> remap) {
    std::uint32_t packed = 0;
    for (int i = 0; i < 4; ++i) {
        std::uint32_t index = indices[i];
        if (!remap.empty()) {
            const auto found = std::find(remap.begin(), remap.end(), indices[i]);
            index = found == remap.end() ? 0u : static_cast<std::uint32_t>(found - remap.begin()) & 0xFF;
        }
        packed |= index << (8 * i);
    }
    return packed;
}

std::uint32_t PackBoneWeights(const float weights[4]) {
    std::uint32_t packed = 0;
    for (int i = 0; i < 4; ++i) {
        const float w = std::isnan(weights[i]) ? 0.0f : std::clamp(weights[i], 0.0f, 1.0f);
        packed |= static_cast<std::uint32_t>(w * 255.0f) << (8 * i);
    }
    return packed;
}

bool WritePackedVertex(int format, const VertexSource& source, std::span<const std::uint8_t> boneRemap,
                       std::uint8_t* out) {
    switch (format) {
        case kVertexNormal:
            PutPosition(out, source.position);
            PutWord(out, PackNormal(source.normal));
            return true;
        case kVertexColour:
            PutPosition(out, source.position);
            PutWord(out, source.colour);
            return true;
        case kVertexTexture:
            PutPosition(out, source.position);
            PutWord(out, PackUV(source.uv0.x, source.uv0.y));
            return true;
        case kVertexMesh:
        case kVertexSkinned:
            PutPosition(out, source.position);
            PutMeshPart(out, source);
            if (format == kVertexSkinned) {
                PutWord(out, PackBoneIndices(source.boneIndices, boneRemap));
                PutWord(out, source.packedWeights);
            }
            return true;
        default:
            return false;
    }
}

void WriteSkinnedVertex(const VertexSource& source, std::span<const std::uint8_t> boneRemap, std::uint8_t* out) {
    PutPosition(out, source.position);
    PutMeshPart(out, source);
    PutWord(out, PackBoneIndices(source.boneIndices, boneRemap));
    PutWord(out, PackBoneWeights(source.boneWeights));
}

bool UnpackVertex(int format, const std::uint8_t* data, VertexSource& out) {
    if (format < kVertexNormal || format > kVertexSkinned) return false;
    out = VertexSource();
    float xyz[3];
    std::memcpy(xyz, data, sizeof xyz);
    data += sizeof xyz;
    out.position = {xyz[0], xyz[1], xyz[2]};
    if (format == kVertexNormal) out.normal = UnpackNormal(GetWord(data));
    if (format == kVertexColour) out.colour = GetWord(data);
    if (format == kVertexTexture) out.uv0 = UnpackUV(GetWord(data));
    if (format == kVertexMesh || format == kVertexSkinned) {
        out.normal = UnpackNormal(GetWord(data));
        const std::uint32_t tangent = GetWord(data);
        out.tangent = UnpackNormal(tangent);
        const float handedness = (tangent >> 24) >= 127 ? 1.0f : -1.0f;
        out.bitangent = out.normal.Cross(out.tangent).Scale(handedness);
        out.colour = GetWord(data);
        out.uv0 = UnpackUV(GetWord(data));
        out.uv1 = UnpackUV(GetWord(data));
    }
    if (format == kVertexSkinned) {
        const std::uint32_t indices = GetWord(data);
        out.packedWeights = GetWord(data);
        for (int i = 0; i < 4; ++i) {
            out.boneIndices[i] = static_cast<std::uint8_t>(indices >> (8 * i));
            out.boneWeights[i] = static_cast<float>((out.packedWeights >> (8 * i)) & 0xFF) / 255.0f;
        }
    }
    return true;
}

}  // namespace engine
