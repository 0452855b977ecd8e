#pragma once
// The seven vertex formats of the engine's geometry and the set of device declarations that select them.
//   1  16 bytes  position, normal (4 bytes)
//   2  16 bytes  position, colour
//   3  16 bytes  position, texture coordinate (2 x 16 bits)
//   4  32 bytes  position, normal, tangent, colour, two texture coordinates
//   5  40 bytes  format 4, bone indices, bone weights
//   6  32 bytes  format 4 on stream 0, four per-instance rows on stream 1
//   7  48 bytes  stream 1 only: the four per-instance rows (the first three columns of a world matrix)
#include <array>
#include <cstdint>

namespace sys {
class GpuDevice;
class GpuVertexDeclaration;
}  // namespace sys

namespace engine {

enum VertexFormat : int {
    kVertexNormal = 1,
    kVertexColour = 2,
    kVertexTexture = 3,
    kVertexMesh = 4,
    kVertexSkinned = 5,
    kVertexInstancedMesh = 6,
    kVertexInstanceRows = 7,
};
constexpr int kVertexFormatCount = 7;
// The current-format index meaning none is selected.
constexpr int kNoVertexFormat = 8;

// Bytes per vertex of a format (stream 0; format 7 counts its stream-1 rows); 0 for an unknown format.
int VertexFormatStride(int format);

// A vertex of format 3: position and a packed texture coordinate.
struct TexturedVertex {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    std::uint32_t uv = 0;
};
static_assert(sizeof(TexturedVertex) == 16, "format 3 vertices are 16 bytes");

class VertexDeclSetBase {
public:
    virtual ~VertexDeclSetBase() = default;
};

class VertexDeclSet final : public VertexDeclSetBase {
public:
    // Creates the seven declarations; a declaration the device refuses stays null and never selects.
    explicit VertexDeclSet(sys::GpuDevice& device);
    ~VertexDeclSet() override;
    VertexDeclSet(const VertexDeclSet&) = delete;
    VertexDeclSet& operator=(const VertexDeclSet&) = delete;

    // Sets the format's declaration unless it is the current one. False for an unknown format.
    bool Select(int format);
    int Current() const { return current_; }
    // After the device's state was reset: the next Select always reaches the device.
    void ResetCurrent() { current_ = kNoVertexFormat; }
    sys::GpuVertexDeclaration* Declaration(int format) const;

private:
    sys::GpuDevice& device_;
    std::array<sys::GpuVertexDeclaration*, kVertexFormatCount> declarations_{};
    int current_ = kNoVertexFormat;
};

}  // namespace engine
