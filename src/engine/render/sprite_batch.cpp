#include "engine/render/sprite_batch.h"

#include <cstring>

#include "engine/render/dynamic_vertex_buffer.h"
#include "engine/render/render_device.h"
#include "engine/render/vertex_formats.h"
#include "engine/render/vertex_packing.h"

namespace engine {

namespace {

constexpr int kAlphaTestReferenceOne = 2;
constexpr std::uint32_t kColourWriteRgb = 7;
constexpr int kFilterPoint = 0;

}  // namespace

SpriteBatch::SpriteBatch(RenderDevice& device, SpriteBatchBindings& bindings, DynamicVertexBuffer* buffer)
    : device_(device), bindings_(bindings), buffer_(buffer) {}

void SpriteBatch::SetTexture(std::uint32_t handle, int width, int height) {
    texture_ = handle;
    invTextureWidth_ = width > 0 ? 1.0f / static_cast<float>(width) : 0.0f;
    invTextureHeight_ = height > 0 ? 1.0f / static_cast<float>(height) : 0.0f;
}

void SpriteBatch::Begin() {
    count_ = 0;
    device_.SetDepthMode(false, false, false);
    device_.SetBlendMode(kBlendPremultiplied);
    device_.SetAlphaTest(kAlphaTestReferenceOne, 1);
    device_.SetColourWriteMask(kColourWriteRgb);
    bindings_.BindTexture(0, texture_);
    device_.SetTextureFilter(0, kFilterPoint, 0);
    bindings_.UseTextureColourShaders();
}

void SpriteBatch::AddQuad(float x, float y, std::uint32_t colour, const IntRect& source) {
    if (count_ == kMaxQuads) Flush();
    const float sx = static_cast<float>(source.x);
    const float sy = static_cast<float>(source.y);
    const float w = static_cast<float>(source.width);
    const float h = static_cast<float>(source.height);
    const std::uint32_t uvs[4] = {
        PackUV(sx * invTextureWidth_, sy * invTextureHeight_),              // left top
        PackUV((sx + w) * invTextureWidth_, (sy + h) * invTextureHeight_),  // right bottom
        PackUV(sx * invTextureWidth_, (sy + h) * invTextureHeight_),        // left bottom
        PackUV((sx + w) * invTextureWidth_, sy * invTextureHeight_),        // right top
    };
    const Vec2 corners[4] = {
        mapping_.Map(x, y, kPixelOffset),
        mapping_.Map(x + w, y + h, kPixelOffset),
        mapping_.Map(x, y + h, kPixelOffset),
        mapping_.Map(x + w, y, kPixelOffset),
    };
    // Two triangles: left-top, right-bottom, left-bottom, then left-top, right-top, right-bottom.
    static constexpr int kCornerOrder[kVerticesPerQuad] = {0, 1, 2, 0, 3, 1};
    SpriteVertex* out = &vertices_[static_cast<std::size_t>(count_) * kVerticesPerQuad];
    for (int i = 0; i < kVerticesPerQuad; ++i) {
        const int corner = kCornerOrder[i];
        out[i] = SpriteVertex{corners[corner].x, corners[corner].y, 0.0f, colour, colour, colour,
                              uvs[corner],       uvs[corner]};
    }
    ++count_;
}

void SpriteBatch::End(bool drawIcons) {
    Flush();
    if (drawIcons) DrawQueuedIcons();
}

void SpriteBatch::Flush() {
    if (count_ == 0) return;
    const int quads = count_;
    count_ = 0;
    DynamicVertexBuffer* buffer = buffer_ != nullptr ? buffer_ : GlobalDynamicVertexBuffer();
    if (buffer == nullptr) return;
    const int vertexCount = quads * kVerticesPerQuad;
    int first = 0;
    void* data = buffer->Lock(kVertexMesh, vertexCount, first);
    if (data == nullptr) return;
    std::memcpy(data, vertices_.data(), static_cast<std::size_t>(vertexCount) * sizeof(SpriteVertex));
    buffer->Unlock();
    // Counter-clockwise culling: the quads are wound clockwise on screen, so they all face the viewer.
    device_.SetCullMode(sys::kCullCcw);
    device_.DrawDynamic(sys::kPrimTriangleList, static_cast<std::uint32_t>(first),
                        static_cast<std::uint32_t>(quads) * 2u, buffer, kVertexMesh);
}

}  // namespace engine
