#include "engine/render/packed_mesh_vertices.h"

#include <cmath>
#include <cstring>

#include "engine/render/vertex_formats.h"

namespace engine {
namespace {

// Twice the matching tolerance: coordinates that match lie in the same or a neighbouring cell, whatever the
// rounding of the division.
constexpr double kCellSize = 2.0 * kPositionEpsilon;
constexpr int kPositionBytes = 12;

void ReadPosition(const std::uint8_t* vertex, float xyz[3]) { std::memcpy(xyz, vertex, kPositionBytes); }

}  // namespace

std::size_t PackedMeshVertices::CellHash::operator()(const Cell& cell) const {
    std::uint64_t h = static_cast<std::uint64_t>(cell.x) * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<std::uint64_t>(cell.y) + 0x7F4A7C15ull + (h << 6) + (h >> 2);
    h ^= static_cast<std::uint64_t>(cell.z) + 0x94D049BBull + (h << 6) + (h >> 2);
    return static_cast<std::size_t>(h);
}

PackedMeshVertices::PackedMeshVertices(int format)
    : format_(format >= kVertexNormal && format <= kVertexSkinned ? format : 0),
      stride_(VertexFormatStride(format_)) {}

// False for coordinates no other vertex can match (not finite, or too large for a cell number).
bool PackedMeshVertices::CellOf(const std::uint8_t* vertex, Cell& cell) {
    float xyz[3];
    ReadPosition(vertex, xyz);
    std::int64_t c[3];
    for (int i = 0; i < 3; ++i) {
        const double scaled = std::floor(static_cast<double>(xyz[i]) / kCellSize);
        if (!std::isfinite(scaled) || std::fabs(scaled) > 1e15) return false;
        c[i] = static_cast<std::int64_t>(scaled);
    }
    cell = {c[0], c[1], c[2]};
    return true;
}

int PackedMeshVertices::FindMatch(const std::uint8_t* vertex) const {
    Cell cell;
    if (!CellOf(vertex, cell)) return -1;
    float position[3];
    ReadPosition(vertex, position);
    int first = -1;
    for (std::int64_t dx = -1; dx <= 1; ++dx) {
        for (std::int64_t dy = -1; dy <= 1; ++dy) {
            for (std::int64_t dz = -1; dz <= 1; ++dz) {
                const auto found = cells_.find({cell.x + dx, cell.y + dy, cell.z + dz});
                if (found == cells_.end()) continue;
                for (int index : found->second) {
                    if (first >= 0 && index >= first) continue;
                    const std::uint8_t* other = bytes_.data() + static_cast<std::size_t>(index) * stride_;
                    float otherPosition[3];
                    ReadPosition(other, otherPosition);
                    bool same = true;
                    for (int i = 0; i < 3 && same; ++i) {
                        same = std::fabs(position[i] - otherPosition[i]) <= kPositionEpsilon;
                    }
                    if (same && std::memcmp(vertex + kPositionBytes, other + kPositionBytes,
                                            static_cast<std::size_t>(stride_ - kPositionBytes)) == 0) {
                        first = index;
                    }
                }
            }
        }
    }
    return first;
}

void PackedMeshVertices::Index(const std::uint8_t* vertex, int index) {
    Cell cell;
    if (CellOf(vertex, cell)) cells_[cell].push_back(index);
}

int AddPackedMeshVertex(PackedMeshVertices& vertices, const VertexSource& source,
                        std::span<const std::uint8_t> boneRemap) {
    if (vertices.format_ == 0) return -1;
    std::uint8_t packed[64];
    WritePackedVertex(vertices.format_, source, boneRemap, packed);
    const int match = vertices.FindMatch(packed);
    if (match >= 0) return match;
    // A 16-bit index cannot name another vertex.
    if (vertices.count_ >= PackedMeshVertices::kMaxVertices) return -1;
    vertices.bytes_.insert(vertices.bytes_.end(), packed, packed + vertices.stride_);
    vertices.Index(packed, vertices.count_);
    return vertices.count_++;
}

}  // namespace engine
