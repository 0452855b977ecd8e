// Untextured 2D drawing: flat and gradient rectangles, and raw triangle lists from memory.
#include <cstdint>

#include "engine/render/graphics_device.h"
#include "engine/render/quad_shader_binding.h"
#include "engine/render/screen_mapping.h"
#include "engine/render/target_drawing_2d.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "engine/render/vertex_formats.h"
#include "sys/gpu_resource.h"

namespace engine {

namespace {

constexpr std::uint32_t kMaskAll = 15;
constexpr std::uint32_t kMaskColour = 7;

}  // namespace

void TargetDrawing2D::FillRect(const DrawTarget2D& target, const IntRect& rect, std::uint32_t colour, int blend) {
    FillRectGradient(target, rect, colour, colour, colour, colour, blend);
}

void TargetDrawing2D::FillRectGradient(const DrawTarget2D& target, const IntRect& rect, std::uint32_t topLeft,
                                       std::uint32_t topRight, std::uint32_t bottomLeft, std::uint32_t bottomRight,
                                       int blend) {
    ScreenMapping mapping;
    mapping.invWidth = target.invWidth;
    mapping.invHeight = target.invHeight;
    const float left = static_cast<float>(rect.x);
    const float top = static_cast<float>(rect.y);
    const float right = left + static_cast<float>(rect.width);
    const float bottom = top + static_cast<float>(rect.height);
    const Vec2 corners[4] = {mapping.Map(left, top, kPixelOffset), mapping.Map(right, top, kPixelOffset),
                             mapping.Map(left, bottom, kPixelOffset), mapping.Map(right, bottom, kPixelOffset)};
    const std::uint32_t colours[4] = {topLeft, topRight, bottomLeft, bottomRight};
    ColouredVertex vertices[4];
    for (int i = 0; i < 4; ++i) vertices[i] = ColouredVertex{corners[i].x, corners[i].y, 0.0f, colours[i]};
    int first = 0;
    if (!WriteQuad(vertices, kVertexColour, first)) return;
    device_.SetAlphaTest(0, 0);
    device_.SetBlendMode(blend);
    device_.SetDepthMode(false, false, false);
    if (!BindQuadShaders(vertexShaders_, pixelShaders_, QuadPixelShader::VertexColour)) return;
    device_.SetColourWriteMask(blend == kBlendOff ? kMaskAll : kMaskColour);
    device_.SetCullMode(sys::kCullCcw);
    DrawQuad(first, kVertexColour);
}

void TargetDrawing2D::DrawTriangles(const DrawTarget2D& /*target*/, int vertexFormat, int triangleCount,
                                    const void* vertices, std::uint32_t handle) {
    if (triangleCount <= 0 || vertices == nullptr) return;
    if (vertexFormat != kVertexColour && vertexFormat != kVertexTexture) return;
    device_.SetAlphaTest(0, 0);
    device_.SetDepthMode(false, false, false);
    device_.SetCullMode(sys::kCullNone);
    if (vertexFormat == kVertexColour) {
        if (!BindQuadShaders(vertexShaders_, pixelShaders_, QuadPixelShader::VertexColour)) return;
    } else {
        if (!BindQuadShaders(vertexShaders_, pixelShaders_, QuadPixelShader::PlainTexture)) return;
        // Without a texture of its own the stage is emptied rather than left with whatever was drawn last.
        const Texture* texture = TextureTable::Get(static_cast<int>(handle));
        if (texture != nullptr && texture->texture != nullptr) {
            device_.SetRawTexture(0, texture->texture);
        } else {
            device_.UnbindTexture(0);
        }
    }
    device_.SetBlendMode(kBlendOff);
    device_.SetColourWriteMask(kMaskAll);
    device_.DrawFromMemory(sys::kPrimTriangleList, static_cast<std::uint32_t>(triangleCount), vertices,
                           vertexFormat);
}

}  // namespace engine
