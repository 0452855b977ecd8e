// Full-screen post effects of a render target: the glow (two separable blurs at half the screen's size, then
// the picture plus twice the blur) and the monochrome tint. Both draw into the target's other colour texture.
#include <cstdint>

#include "engine/image/colour_gradient.h"
#include "engine/render/blur_weights.h"
#include "engine/render/graphics_device.h"
#include "engine/render/post_effects.h"
#include "engine/render/render_target.h"
#include "engine/render/screen_mapping.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/render/shader_text_buffer.h"
#include "engine/render/texture.h"
#include "engine/render/vertex_formats.h"
#include "engine/render/vertex_packing.h"
#include "sys/gpu_device.h"
#include "sys/gpu_resource.h"

namespace engine {

const char* const kBlurPixelShaderText = R"(
sampler2D Texture0 : register(s0);
float4 Weights[7] : register(c0);
float4 main(float2 TexCoord : TEXCOORD0) : COLOR
{
	float4 Colour = 0;
	for (int x = 0; x < 7; x++)
		Colour += tex2D(Texture0, TexCoord + Weights[x].xy) * Weights[x].w;
	Colour.a = 1;
	return Colour;
}
)";

const char* const kAlphaBlurPixelShaderText = R"(
sampler2D Texture0 : register(s0);
float4 Weights[7] : register(c0);
float4 main(float2 TexCoord : TEXCOORD0) : COLOR
{
	float4 Colour = 0;
	for (int x = 0; x < 7; x++)
	{
		float4 Pix = tex2D(Texture0, TexCoord + Weights[x].xy);
		Colour += Pix * Weights[x].w * (1 - Pix.a);
	}
	return Colour;
}
)";

const char* const kBloomPixelShaderText = R"(
sampler2D SceneTexture : register(s0);
sampler2D BlurTexture : register(s1);
float4 main(float2 TexCoord : TEXCOORD0) : COLOR
{
	float4 MainPix = tex2D(SceneTexture, TexCoord);
	float4 BlurPix = tex2D(BlurTexture, TexCoord);
	return MainPix + BlurPix * 2;
}
)";

const char* const kMonochromePixelShaderText = R"(
sampler2D Texture0 : register(s0);
float4 Colour : register(c0);
float4 main(float2 TexCoord : TEXCOORD0) : COLOR
{
	float4 Sample = tex2D(Texture0, TexCoord);
	float Intensity = dot(Sample.rgb, float3(0.299, 0.587, 0.114));
	return Sample * (1 - Colour.a) + Colour * Intensity * Colour.a;
}
)";

namespace {

constexpr int kFilterPoint = 0;
constexpr int kFilterLinear = 1;
constexpr int kAddressClamp = 3;
constexpr int kPassVertexShader = 1;

// The built-in pixel shader of a slot and vertex shader 1, bound; false when either does not build.
bool BindPassShaders(GraphicsDevice& device, BuiltinPixelShader slot, const char* text) {
    ShaderConstantCache* vertex = device.AttachedVertexShaders();
    ShaderTextBuffer* pixel = device.AttachedPixelShaders();
    if (vertex == nullptr || pixel == nullptr) return false;
    PixelShader* shader = pixel->GetBuiltinPixelShader(slot, text);
    if (shader == nullptr || vertex->BuiltinVertexShader(kPassVertexShader) == nullptr) return false;
    pixel->BindPixelShader(shader);
    return true;
}

bool LevelSize(sys::GpuTexture* texture, std::uint32_t& width, std::uint32_t& height) {
    sys::GpuSurfaceDesc desc;
    if (texture == nullptr || texture->GetLevelDesc(0, desc) != sys::kGpuOk || desc.width == 0 || desc.height == 0) {
        return false;
    }
    width = desc.width;
    height = desc.height;
    return true;
}

// Level 0 of the texture as the render target, its whole surface as the viewport.
bool BindLevel(GraphicsDevice& device, sys::GpuTexture* texture) {
    sys::GpuSurface* level = texture->GetSurfaceLevel(0);
    if (level == nullptr) return false;
    device.SetRenderTargetSurface(level);
    // The device keeps its own reference while the level is bound.
    level->Release();
    std::uint32_t width = 0, height = 0;
    if (!LevelSize(texture, width, height)) return false;
    sys::GpuViewport viewport;
    viewport.width = width;
    viewport.height = height;
    device.Device()->SetViewport(viewport);
    return true;
}

// A full-surface fan shifted by half a source texel to the left and up; both passes of a blur draw it.
struct BlurQuad {
    TexturedVertex fan[4];
};

BlurQuad MakeBlurQuad(float sourceWidth, float sourceHeight) {
    const float left = -1.0f - 1.0f / sourceWidth, right = 1.0f - 1.0f / sourceWidth;
    const float top = 1.0f + 1.0f / sourceHeight, bottom = -1.0f + 1.0f / sourceHeight;
    return {{{left, top, 0.0f, PackUV(0.0f, 0.0f)},
             {right, top, 0.0f, PackUV(1.0f, 0.0f)},
             {right, bottom, 0.0f, PackUV(1.0f, 1.0f)},
             {left, bottom, 0.0f, PackUV(0.0f, 1.0f)}}};
}

// One direction of the blur: the texture on stage 0 through the quad, taps `step` apart.
void DrawBlurQuad(GraphicsDevice& device, sys::GpuTexture* texture, const BlurQuad& quad, bool horizontal,
                  float step) {
    device.SetRawTexture(0, texture);
    SetGaussWeights(horizontal, step, *device.AttachedPixelShaders());
    device.DrawFromMemory(sys::kPrimTriangleFan, 2, quad.fan, kVertexTexture);
}

}  // namespace

void BlurPass(sys::GpuTexture* source, sys::GpuTexture* destination, GraphicsDevice& device,
              sys::GpuTexture* work, int mode) {
    if (destination == nullptr || work == nullptr || !device.HasDevice() || device.IsLost()) return;
    if (source == nullptr) source = destination;
    std::uint32_t width = 0, height = 0;
    if (!LevelSize(source, width, height)) return;
    const bool alphaWeighted = mode == kBlurAlphaWeighted;
    if (!BindPassShaders(device, alphaWeighted ? BuiltinPixelShader::AlphaBlur : BuiltinPixelShader::Blur,
                         alphaWeighted ? kAlphaBlurPixelShaderText : kBlurPixelShaderText)) {
        return;
    }
    device.SetAlphaTest(0, 0);
    device.SetBlendMode(0);
    device.SetDepthMode(false, false, false);
    device.SetCullMode(sys::kCullNone);
    device.SetTextureAddressMode(0, kAddressClamp);
    device.SetTextureFilter(0, kFilterLinear, 0);

    // Both steps are 1 / (size + 1) of the source, a shade under one of its texels.
    const float sw = static_cast<float>(width), sh = static_cast<float>(height);
    const BlurQuad quad = MakeBlurQuad(sw, sh);
    if (BindLevel(device, work)) DrawBlurQuad(device, source, quad, true, 1.0f / (sw + 1.0f));
    if (BindLevel(device, destination) && BindPassShaders(device, BuiltinPixelShader::Blur, kBlurPixelShaderText)) {
        DrawBlurQuad(device, work, quad, false, 1.0f / (sh + 1.0f));
    }
    device.SetCullMode(sys::kCullCcw);
}

namespace {

// The whole target as a strip of format-3 vertices at the 2D pixel offset, texture coordinates 0 to 1.
void DrawTargetQuad(GraphicsDevice& device, int width, int height) {
    const ScreenMapping mapping = ScreenMapping::ForSize(width, height);
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    const auto at = [&](float x, float y, float u, float v) {
        const Vec2 p = mapping.Map(x, y, kPixelOffset);
        return TexturedVertex{p.x, p.y, 0.0f, PackUV(u, v)};
    };
    const TexturedVertex strip[4] = {at(0.0f, 0.0f, 0.0f, 0.0f), at(w, 0.0f, 1.0f, 0.0f), at(0.0f, h, 0.0f, 1.0f),
                                 at(w, h, 1.0f, 1.0f)};
    device.DrawFromMemory(sys::kPrimTriangleStrip, 2, strip, kVertexTexture);
}

}  // namespace

void RenderTarget::ApplyBlurBloom() {
    if (device_ == nullptr || !device_->HasDevice() || device_->IsLost()) return;
    if (blurWork_ == nullptr) {
        blurWork_ = device_->Device()->CreateTexture(static_cast<std::uint32_t>(width_),
                                                     static_cast<std::uint32_t>(height_), 1, sys::kUsageRenderTarget,
                                                     sys::kFmtA8R8G8B8, sys::kPoolDefault);
        if (blurWork_ == nullptr) return;
    }
    sys::GpuTexture* picture = colourTextures_[current_];
    sys::GpuTexture* half0 = device_->GetHalfScreenTexture(0);
    sys::GpuTexture* half1 = device_->GetHalfScreenTexture(1);
    if (picture == nullptr || colourSurfaces_[1 - current_] == nullptr || half0 == nullptr || half1 == nullptr) return;
    Resolve();
    device_->SetColourWriteMask(15);
    BlurPass(picture, half0, *device_, half1, kBlurAlphaWeighted);
    BlurPass(nullptr, half0, *device_, half1, kBlurPlain);

    device_->UnbindAllTextures();
    device_->SetDepthMode(false, false, false);
    device_->SetAlphaTest(0, 0);
    device_->SetBlendMode(0);
    device_->SetColourWriteMask(15);
    device_->SetRawTexture(0, picture);
    device_->SetTextureAddressMode(0, kAddressClamp);
    device_->SetTextureFilter(0, kFilterPoint, 0);
    device_->SetRawTexture(1, half0);
    device_->SetTextureAddressMode(1, kAddressClamp);
    device_->SetTextureFilter(1, kFilterLinear, 0);

    // Without the shader the picture stays where it is.
    const bool bound = BindPassShaders(*device_, BuiltinPixelShader::Bloom, kBloomPixelShaderText);
    if (bound) current_ = 1 - current_;
    BindColour(colourSurfaces_[current_]);
    ApplyView(nullptr);
    if (!bound) return;
    device_->SetCullMode(sys::kCullCcw);
    DrawTargetQuad(*device_, width_, height_);
}

int RenderTarget::ApplyMonochrome(float strength, std::uint32_t colour) {
    if (CopyToTexture() == 0 || copyTexture_ == nullptr || copyTexture_->texture == nullptr) return 0;
    sys::GpuSurface* other = colourSurfaces_[1 - current_];
    if (other == nullptr) return 0;
    device_->UnbindAllTextures();
    device_->SetDepthMode(false, false, false);
    device_->SetAlphaTest(0, 0);
    device_->SetBlendMode(0);
    device_->SetColourWriteMask(7);
    device_->SetRawTexture(0, copyTexture_->texture);
    device_->SetTextureAddressMode(0, kAddressClamp);
    device_->SetTextureFilter(0, kFilterPoint, 0);

    if (!BindPassShaders(*device_, BuiltinPixelShader::Monochrome, kMonochromePixelShaderText)) return 1;
    current_ = 1 - current_;
    BindColour(other);
    ApplyView(nullptr);
    const ColourF c = ArgbToColourF(colour);
    device_->AttachedPixelShaders()->SetPixelVector({c.r, c.g, c.b, strength}, 0);
    device_->SetCullMode(sys::kCullCcw);
    DrawTargetQuad(*device_, width_, height_);
    return 1;
}

}  // namespace engine
