#pragma once
// The packed vertex array of a mesh batch under construction. Corners that pack to the same vertex share one
// entry: a vertex matches an earlier one when each position coordinate differs by at most 0.0001 and every
// byte after the position is equal, and the first match wins. Indices are 16-bit, so the array holds at most
// 65,536 vertices.
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "engine/render/vertex_packing.h"

namespace engine {

class PackedMeshVertices {
public:
    static constexpr int kMaxVertices = 65536;

    // Formats 1 to 5.
    explicit PackedMeshVertices(int format);

    int Format() const { return format_; }
    int Stride() const { return stride_; }
    int Count() const { return count_; }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    friend int AddPackedMeshVertex(PackedMeshVertices& vertices, const VertexSource& source,
                                   std::span<const std::uint8_t> boneRemap);
    struct Cell {
        std::int64_t x, y, z;
        bool operator==(const Cell&) const = default;
    };
    struct CellHash {
        std::size_t operator()(const Cell& cell) const;
    };

    int FindMatch(const std::uint8_t* vertex) const;
    void Index(const std::uint8_t* vertex, int index);
    static bool CellOf(const std::uint8_t* vertex, Cell& cell);

    int format_;
    int stride_;
    int count_ = 0;
    std::vector<std::uint8_t> bytes_;
    // Vertices by position cell, so that a match is found without comparing with every vertex.
    std::unordered_map<Cell, std::vector<int>, CellHash> cells_;
};

// The index of the corner's packed vertex: an earlier matching vertex or a new one. -1 when a new vertex is
// needed but the array is full (the 65,537th distinct vertex), or for a format other than 1 to 5.
int AddPackedMeshVertex(PackedMeshVertices& vertices, const VertexSource& source,
                        std::span<const std::uint8_t> boneRemap = {});

}  // namespace engine
