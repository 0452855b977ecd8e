#pragma once
// Immediate 2D drawing into whatever colour surface is bound: textured quads with scale, rotation and pivot,
// source-rectangle blits, flat and gradient rectangles and raw triangle lists, in pixels of a target whose size
// the caller gives. Render targets forward their 2D operations here; the quad-queue replay and the present step
// draw through it too.
#include <cstdint>

#include "engine/core/int_rect.h"

namespace sys {
class GpuBaseTexture;
}

namespace engine {

class DynamicVertexBuffer;
class GraphicsDevice;
class ShaderConstantCache;
class ShaderTextBuffer;
struct QuadAlphaStates;

// The size of the target being drawn into, as the 2D mapping needs it.
struct DrawTarget2D {
    int width = 0;
    int height = 0;
    float invWidth = 0.0f;
    float invHeight = 0.0f;
    // Set: 2D drawing never filters.
    bool pointSampling = false;
};

class TargetDrawing2D {
public:
    // A null buffer means the engine's shared dynamic vertex buffer.
    TargetDrawing2D(GraphicsDevice& device, ShaderConstantCache& vertexShaders, ShaderTextBuffer& pixelShaders,
                    DynamicVertexBuffer* buffer = nullptr);

    // The common worker: a whole texture with its pivot at (x, y), scaled and turned by angle degrees.
    // Nothing for a null or cube texture. alphaMode is the texture's alpha-test mode; mono 1 selects the grey
    // tint.
    void DrawTextureQuad(const DrawTarget2D& target, float pivotY, float pivotX, float x, float y, float scaleX,
                         float scaleY, float angle, sys::GpuBaseTexture* texture, std::uint32_t colour, int blend,
                         int alphaMode, int mono);

    // Texture-table handles; an invalid handle draws nothing.
    void DrawTexture(const DrawTarget2D& target, float x, float y, std::uint32_t handle, std::uint32_t colour,
                     int blend, int mono);
    void DrawTextureScaled(const DrawTarget2D& target, float x, float y, float scaleX, float scaleY,
                           std::uint32_t handle, std::uint32_t colour, int blend, int mono);
    void DrawTextureOffsetScaled(const DrawTarget2D& target, float x, float y, float scaleX, float scaleY,
                                 float pivotX, float pivotY, std::uint32_t handle, std::uint32_t colour, int blend,
                                 int mono);
    void DrawTextureRotated(const DrawTarget2D& target, float x, float y, float pivotX, float pivotY, float angle,
                            std::uint32_t handle, std::uint32_t colour, int blend, int mono);
    void DrawTextureTransformed(const DrawTarget2D& target, float x, float y, float pivotX, float pivotY,
                                float angle, float scaleX, float scaleY, std::uint32_t handle, std::uint32_t colour,
                                int blend, int mono);
    void DrawTextureRect(const DrawTarget2D& target, const IntRect& destination, const IntRect& source,
                         std::uint32_t handle, std::uint32_t colour, int blend, int mono);
    // The source rectangle with its top-left corner at (x, y), scaled (DrawSprite: 1:1), drawn white with alpha
    // blending through DrawTextureRect; a negative scale x mirrors it.
    void DrawSprite(const DrawTarget2D& target, int x, int y, std::uint32_t handle, const IntRect& source);
    void DrawSpriteScaled(const DrawTarget2D& target, int x, int y, std::uint32_t handle, float scaleX,
                          float scaleY, const IntRect& source);
    void FillRect(const DrawTarget2D& target, const IntRect& rect, std::uint32_t colour, int blend);
    void FillRectGradient(const DrawTarget2D& target, const IntRect& rect, std::uint32_t topLeft,
                          std::uint32_t topRight, std::uint32_t bottomLeft, std::uint32_t bottomRight, int blend);
    // Format 2 (vertex colours) or 3 (textured) triangle list of count triangles.
    void DrawTriangles(const DrawTarget2D& target, int vertexFormat, int triangleCount, const void* vertices,
                       std::uint32_t handle);

private:
    // Four vertices of a 2D quad in strip order (top-left, top-right, bottom-left, bottom-right) into the
    // dynamic buffer; false when the lock fails.
    bool WriteQuad(const void* vertices, int vertexFormat, int& firstVertex);
    void DrawQuad(int firstVertex, int vertexFormat);
    // The shared tail of the textured quads: vertices of format 3, then the states and the draw.
    void DrawTexturedQuad(const void* vertices, sys::GpuBaseTexture* texture, std::uint32_t colour, int blend,
                          const QuadAlphaStates& alpha, bool linear, int mono, std::uint32_t cullMode);

    GraphicsDevice& device_;
    ShaderConstantCache& vertexShaders_;
    ShaderTextBuffer& pixelShaders_;
    DynamicVertexBuffer* buffer_;
};

}  // namespace engine
