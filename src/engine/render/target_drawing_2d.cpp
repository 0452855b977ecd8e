// Textured 2D quads: the common worker, its wrappers by texture-table handle, source-rectangle blits and
// sprites.
#include "engine/render/target_drawing_2d.h"

#include <cmath>
#include <cstring>

#include "engine/render/dynamic_vertex_buffer.h"
#include "engine/render/graphics_device.h"
#include "engine/render/quad_rules.h"
#include "engine/render/quad_shader_binding.h"
#include "engine/render/screen_mapping.h"
#include "engine/render/shader_text_buffer.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "engine/render/vertex_formats.h"
#include "engine/render/vertex_packing.h"
#include "sys/gpu_resource.h"

namespace engine {

namespace {

constexpr int kQuadVertices = 4;
constexpr int kAddressClamp = 3;
constexpr int kFilterPoint = 0;
constexpr int kFilterLinear = 1;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

ScreenMapping MappingOf(const DrawTarget2D& target) {
    ScreenMapping mapping;
    mapping.invWidth = target.invWidth;
    mapping.invHeight = target.invHeight;
    return mapping;
}

TexturedVertex At(const ScreenMapping& mapping, float x, float y, float offset, float u, float v) {
    const Vec2 p = mapping.Map(x, y, offset);
    return TexturedVertex{p.x, p.y, 0.0f, PackUV(u, v)};
}

// The plain 2D texture of a handle, or null.
const Texture* PlainTexture(std::uint32_t handle) {
    const Texture* texture = TextureTable::Get(static_cast<int>(handle));
    return texture != nullptr && texture->texture != nullptr ? texture : nullptr;
}

}  // namespace

TargetDrawing2D::TargetDrawing2D(GraphicsDevice& device, ShaderConstantCache& vertexShaders,
                                 ShaderTextBuffer& pixelShaders, DynamicVertexBuffer* buffer)
    : device_(device), vertexShaders_(vertexShaders), pixelShaders_(pixelShaders), buffer_(buffer) {}

bool TargetDrawing2D::WriteQuad(const void* vertices, int vertexFormat, int& firstVertex) {
    DynamicVertexBuffer* buffer = buffer_ != nullptr ? buffer_ : GlobalDynamicVertexBuffer();
    if (buffer == nullptr) return false;
    void* data = buffer->Lock(vertexFormat, kQuadVertices, firstVertex);
    if (data == nullptr) return false;
    std::memcpy(data, vertices, static_cast<std::size_t>(VertexFormatStride(vertexFormat)) * kQuadVertices);
    buffer->Unlock();
    return true;
}

void TargetDrawing2D::DrawQuad(int firstVertex, int vertexFormat) {
    if (!device_.SelectVertexFormat(vertexFormat)) return;
    device_.DrawDynamic(sys::kPrimTriangleStrip, static_cast<std::uint32_t>(firstVertex), 2, buffer_, vertexFormat);
}

void TargetDrawing2D::DrawTexturedQuad(const void* vertices, sys::GpuBaseTexture* texture, std::uint32_t colour,
                                       int blend, const QuadAlphaStates& alpha, bool linear, int mono,
                                       std::uint32_t cullMode) {
    int first = 0;
    if (!WriteQuad(vertices, kVertexTexture, first)) return;
    device_.SetBlendMode(blend);
    device_.SetAlphaTest(alpha.alphaTestMode, alpha.reference);
    device_.SetColourWriteMask(alpha.colourMask);
    device_.SetDepthMode(false, false, false);
    device_.SetRawTexture(0, texture);
    device_.SetTextureAddressMode(0, kAddressClamp);
    device_.SetTextureFilter(0, linear ? kFilterLinear : kFilterPoint, 0);
    const QuadPixelShader shader = mono == 1 ? QuadPixelShader::GreyTint : QuadPixelShader::TextureColour;
    if (!BindQuadShaders(vertexShaders_, pixelShaders_, shader)) return;
    pixelShaders_.SetPixelColour(colour, 0);
    device_.SetCullMode(cullMode);
    DrawQuad(first, kVertexTexture);
}

void TargetDrawing2D::DrawTextureQuad(const DrawTarget2D& target, float pivotY, float pivotX, float x, float y,
                                      float scaleX, float scaleY, float angle, sys::GpuBaseTexture* texture,
                                      std::uint32_t colour, int blend, int alphaMode, int mono) {
    if (texture == nullptr || texture->IsCube()) return;
    sys::GpuSurfaceDesc desc;
    if (texture->GetLevelDesc(0, desc) != sys::kGpuOk) return;
    const auto corners = TextureQuadCorners(static_cast<int>(desc.width), static_cast<int>(desc.height), pivotX,
                                            pivotY, scaleX, scaleY, angle, x, y);
    const float offset = TextureQuadOffset(scaleX, scaleY);
    const ScreenMapping mapping = MappingOf(target);
    static constexpr float kU[kQuadVertices] = {0.0f, 1.0f, 0.0f, 1.0f};
    static constexpr float kV[kQuadVertices] = {0.0f, 0.0f, 1.0f, 1.0f};
    TexturedVertex vertices[kQuadVertices];
    for (int i = 0; i < kQuadVertices; ++i) vertices[i] = At(mapping, corners[i].x, corners[i].y, offset, kU[i], kV[i]);
    const QuadAlphaStates alpha = TextureQuadAlphaStates(blend, colour, alphaMode);
    // Rotation and negative scales may turn the quad over, so nothing is culled.
    DrawTexturedQuad(vertices, texture, colour, blend, alpha, TextureQuadFiltersLinear(scaleX, scaleY,
                     target.pointSampling), mono, sys::kCullNone);
}

void TargetDrawing2D::DrawTexture(const DrawTarget2D& target, float x, float y, std::uint32_t handle,
                                  std::uint32_t colour, int blend, int mono) {
    DrawTextureTransformed(target, x, y, 0.0f, 0.0f, 0.0f, 1.0f, 1.0f, handle, colour, blend, mono);
}

void TargetDrawing2D::DrawTextureScaled(const DrawTarget2D& target, float x, float y, float scaleX, float scaleY,
                                        std::uint32_t handle, std::uint32_t colour, int blend, int mono) {
    DrawTextureTransformed(target, x, y, 0.0f, 0.0f, 0.0f, scaleX, scaleY, handle, colour, blend, mono);
}

void TargetDrawing2D::DrawTextureOffsetScaled(const DrawTarget2D& target, float x, float y, float scaleX,
                                              float scaleY, float pivotX, float pivotY, std::uint32_t handle,
                                              std::uint32_t colour, int blend, int mono) {
    DrawTextureTransformed(target, x, y, pivotX, pivotY, 0.0f, scaleX, scaleY, handle, colour, blend, mono);
}

void TargetDrawing2D::DrawTextureRotated(const DrawTarget2D& target, float x, float y, float pivotX, float pivotY,
                                         float angle, std::uint32_t handle, std::uint32_t colour, int blend,
                                         int mono) {
    DrawTextureTransformed(target, x, y, pivotX, pivotY, angle, 1.0f, 1.0f, handle, colour, blend, mono);
}

void TargetDrawing2D::DrawTextureTransformed(const DrawTarget2D& target, float x, float y, float pivotX,
                                             float pivotY, float angle, float scaleX, float scaleY,
                                             std::uint32_t handle, std::uint32_t colour, int blend, int mono) {
    const Texture* texture = PlainTexture(handle);
    if (texture == nullptr) return;
    DrawTextureQuad(target, pivotY, pivotX, x, y, scaleX, scaleY, angle, texture->texture, colour, blend,
                    texture->alphaKind, mono);
}

void TargetDrawing2D::DrawTextureRect(const DrawTarget2D& target, const IntRect& destination, const IntRect& source,
                                      std::uint32_t handle, std::uint32_t colour, int blend, int mono) {
    const Texture* texture = PlainTexture(handle);
    if (texture == nullptr) return;
    const TextureRectMapping m = MapTextureRect(destination, source, static_cast<int>(texture->width),
                                                static_cast<int>(texture->height), target.pointSampling);
    const ScreenMapping mapping = MappingOf(target);
    const TexturedVertex vertices[kQuadVertices] = {
        At(mapping, m.left, m.top, kPixelOffset, m.u0, m.v0), At(mapping, m.right, m.top, kPixelOffset, m.u1, m.v0),
        At(mapping, m.left, m.bottom, kPixelOffset, m.u0, m.v1),
        At(mapping, m.right, m.bottom, kPixelOffset, m.u1, m.v1)};
    const QuadAlphaStates alpha = TextureRectAlphaStates(blend, colour, texture->alphaKind);
    DrawTexturedQuad(vertices, texture->texture, colour, blend, alpha, m.linear, mono, sys::kCullCcw);
}

void TargetDrawing2D::DrawSprite(const DrawTarget2D& target, int x, int y, std::uint32_t handle,
                                 const IntRect& source) {
    DrawSpriteScaled(target, x, y, handle, 1.0f, 1.0f, source);
}

void TargetDrawing2D::DrawSpriteScaled(const DrawTarget2D& target, int x, int y, std::uint32_t handle, float scaleX,
                                       float scaleY, const IntRect& source) {
    const float width = static_cast<float>(source.width) * scaleX;
    const float height = static_cast<float>(source.height) * scaleY;
    // Sizes beyond any target (or not numbers) draw nothing rather than overflow the integer rectangle.
    constexpr float kLargest = 1048576.0f;
    if (!(std::fabs(width) <= kLargest) || !(std::fabs(height) <= kLargest)) return;
    const IntRect destination{x, y, static_cast<int>(std::lround(width)), static_cast<int>(std::lround(height))};
    DrawTextureRect(target, destination, source, handle, kWhite, kBlendAlpha, 0);
}

}  // namespace engine
