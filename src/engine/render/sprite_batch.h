#pragma once
// Textured, coloured quads from one texture (a font's glyph sheet) collected and drawn in as few calls as
// possible: up to 256 quads go to the device as one triangle list from the engine's dynamic vertex buffer.
// Each batch owns its quads, so batches begun one inside another keep their own.
#include <array>
#include <cstdint>

#include "engine/core/int_rect.h"
#include "engine/render/screen_mapping.h"

namespace engine {

class DynamicVertexBuffer;
class RenderDevice;

// What a sprite batch needs beyond the device's state vocabulary: the glyph texture and the shader pair.
class SpriteBatchBindings {
public:
    virtual ~SpriteBatchBindings() = default;
    // The texture of the handle on the stage (0 unbinds it).
    virtual void BindTexture(std::uint32_t stage, std::uint32_t handle) = 0;
    // The texture-times-vertex-colour pixel shader with built-in vertex shader 5, vertex registers 0-3 holding
    // the identity so that the vertices' screen positions pass through.
    virtual void UseTextureColourShaders() = 0;
};

// One vertex of format 4 as the batch writes it.
struct SpriteVertex {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    std::uint32_t normal = 0;
    std::uint32_t tangent = 0;
    std::uint32_t colour = 0;
    std::uint32_t uv0 = 0;
    std::uint32_t uv1 = 0;
};
static_assert(sizeof(SpriteVertex) == 32, "format 4 vertices are 32 bytes");

class SpriteBatch {
public:
    static constexpr int kMaxQuads = 256;
    static constexpr int kVerticesPerQuad = 6;

    // A null buffer means the engine's shared dynamic buffer.
    SpriteBatch(RenderDevice& device, SpriteBatchBindings& bindings, DynamicVertexBuffer* buffer = nullptr);
    virtual ~SpriteBatch() = default;
    SpriteBatch(const SpriteBatch&) = delete;
    SpriteBatch& operator=(const SpriteBatch&) = delete;

    // The glyph sheet and its size in texels.
    void SetTexture(std::uint32_t handle, int width, int height);
    // The size of the render target the quads go to.
    void SetTargetSize(int width, int height) { mapping_ = ScreenMapping::ForSize(width, height); }

    // Empties the batch and sets the states: depth off, premultiplied blending, alpha test against 1, colour
    // writes without alpha, the glyph texture on stage 0 with point filtering, the texture-colour shaders.
    virtual void Begin();
    // One quad of the source rectangle with its top-left corner at (x, y), 1:1; a full batch is drawn first.
    virtual void AddQuad(float x, float y, std::uint32_t colour, const IntRect& source);
    // Draws what is queued; with drawIcons, then the queued inline icons.
    virtual void End(bool drawIcons);

    int QuadCount() const { return count_; }

protected:
    // The inline icons a font queues while adding glyphs; nothing for a plain batch.
    virtual void DrawQueuedIcons() {}

private:
    void Flush();

    RenderDevice& device_;
    SpriteBatchBindings& bindings_;
    DynamicVertexBuffer* buffer_;
    ScreenMapping mapping_;
    std::uint32_t texture_ = 0;
    float invTextureWidth_ = 0.0f;
    float invTextureHeight_ = 0.0f;
    int count_ = 0;
    std::array<SpriteVertex, kMaxQuads * kVerticesPerQuad> vertices_{};
};

}  // namespace engine
