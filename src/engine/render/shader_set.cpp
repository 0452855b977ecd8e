#include "engine/render/shader_set.h"

#include <algorithm>
#include <cstring>

#include "engine/core/frame_timer.h"
#include "engine/render/material_def.h"
#include "engine/render/material_stage_textures.h"
#include "engine/render/render_device.h"
#include "engine/render/shader_cache.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/render/shader_set_codes.h"
#include "engine/render/shader_text_buffer.h"
#include "engine/render/texture.h"

namespace engine {
namespace {

// The shared depth-only pixel shader of the shadow pass: the interpolated depth as the colour.
constexpr const char* kDepthOnlyPixelShader =
    "float4 main (float ShadowMapDepth : TEXCOORD0) : COLOR\n"
    "{\n"
    "\treturn ShadowMapDepth;\n"
    "}\n";

// Built-in vertex shaders of the shadow pass.
constexpr int kBuiltinDepth = 9;
constexpr int kBuiltinDepthInstanced = 10;
constexpr int kBuiltinDepthSkinned = 11;

constexpr int kAddressWrap = 1;
constexpr int kFilterPoint = 0;
constexpr int kFilterLinear = 1;
constexpr int kFilterLinearMips = 2;

int VertexTable(bool skinned, bool instanced) { return skinned ? 1 : (instanced ? 2 : 0); }

int VertexEntry(std::uint32_t lightFlags, bool bump) {
    return static_cast<int>(lightFlags % ShaderSet::kLightFlagsCount) * 2 + (bump ? 1 : 0);
}

int PixelEntry(std::uint32_t lightFlags, int lightingModel, bool bump) {
    return static_cast<int>(lightFlags % ShaderSet::kLightFlagsCount) * 10 + lightingModel * 2 + (bump ? 1 : 0);
}

// Shaders the set is about to release must not stay bound.
template <typename Shader, typename Manager, typename Unbind>
void ReleaseUnbound(std::unique_ptr<Shader>& shader, Manager* manager, Unbind unbind) {
    if (shader && manager != nullptr && manager->Current() == shader.get()) unbind(*manager);
    shader.reset();
}

}  // namespace

ShaderSet::ShaderSet(const ShaderSetServices& services, int index)
    : services_(services), index_(index), info_(MakeShaderSetInfo(index)) {
    if (const char* code = ShaderSetCodeText(index)) std::memcpy(code_, code, std::min<std::size_t>(8, std::strlen(code)));
    for (auto& table : vertex_) table.resize(kVertexEntries);
    pixel_.resize(kPixelEntries);
}

ShaderSet::~ShaderSet() {
    auto unbindVertex = [](ShaderConstantCache& manager) { manager.BindVertexShader(nullptr); };
    auto unbindPixel = [](ShaderTextBuffer& manager) { manager.BindPixelShader(nullptr); };
    for (auto& table : vertex_) {
        for (auto& shader : table) ReleaseUnbound(shader, services_.vertexShaders, unbindVertex);
    }
    for (auto& shader : pixel_) ReleaseUnbound(shader, services_.pixelShaders, unbindPixel);
    for (auto& shader : shadowVertex_) ReleaseUnbound(shader, services_.vertexShaders, unbindVertex);
    ReleaseUnbound(shadowPixel_, services_.pixelShaders, unbindPixel);
}

int ShaderSet::Bind(const MaterialDef& material, const MaterialView* view, const Matrix44* matrix, bool skinned,
                    bool instanced, std::uint32_t lightFlags, int lightingModel, bool bump) {
    if (lightingModel < 0 || lightingModel >= kLightingModels) lightingModel = 0;
    lightFlags %= kLightFlagsCount;
    std::unique_ptr<VertexShader>& vertex = vertex_[VertexTable(skinned, instanced)][VertexEntry(lightFlags, bump)];
    if (!vertex) vertex = BuildVertexShader(skinned, instanced && !skinned, lightFlags, bump);
    if (!vertex) return 0;
    services_.vertexShaders->BindVertexShader(vertex.get());

    std::unique_ptr<PixelShader>& pixel = pixel_[PixelEntry(lightFlags, lightingModel, bump)];
    if (!pixel) pixel = BuildPixelShader(lightFlags, lightingModel, bump);
    if (!pixel) return 0;
    services_.pixelShaders->BindPixelShader(pixel.get());
    return BindConstants(material, view, matrix, skinned, instanced);
}

void ShaderSet::BindTexture(int stage, const MaterialDef& material) {
    MaterialStageTextures& textures = *services_.textures;
    const std::uint32_t unit = static_cast<std::uint32_t>(stage);
    int handle = material.GetTexture(stage);
    if (handle == 0) {
        const bool cube = stage >= 0 && stage < kSetTextureSlots && info_.textures[stage].kind == kSlotCubeMap;
        handle = cube ? textures.CheckCubeMap() : textures.CheckTexture();
    }
    if (handle == 0) {
        // Not even a placeholder: the stage samples nothing rather than the last draw's texture.
        textures.Unbind(unit);
    } else {
        textures.Bind(unit, handle);
    }
    RenderDevice& states = *services_.states;
    if ((textures.Flags(handle) & (kTextureUncompressed | kTextureFlagged)) != 0) {
        states.SetTextureFilter(unit, kFilterLinear, 0);
        states.SetTextureAddressMode(unit, kAddressWrap);
        return;
    }
    states.SetTextureFilter(unit, (material.flags & kMaterialPointFilter) != 0 ? kFilterPoint : kFilterLinearMips, 0);
    const int mode = stage >= 0 && stage < kMaterialStages ? material.addressModes[stage] : 0;
    states.SetTextureAddressMode(unit, mode == 0 ? kAddressWrap : mode);
}

int ShaderSet::BindShadow(const MaterialDef& material, const MaterialView* view, const Matrix44* matrix,
                          bool skinned, bool instanced) {
    const bool alpha = NeedsAlphaShadow(material);
    if (alpha) {
        std::unique_ptr<VertexShader>& vertex = shadowVertex_[(skinned ? 2 : 0) + (instanced ? 1 : 0)];
        if (!vertex) vertex = BuildShadowVertexShader(skinned, instanced);
        if (!vertex) return 0;
        services_.vertexShaders->BindVertexShader(vertex.get());
    } else {
        const int kind = skinned ? kBuiltinDepthSkinned : (instanced ? kBuiltinDepthInstanced : kBuiltinDepth);
        if (services_.vertexShaders->BuiltinVertexShader(kind) == nullptr) return 0;
    }

    RenderDevice& states = *services_.states;
    states.SetDepthMode(true, true, false);
    states.SetBlendMode(kBlendOff);
    states.SetAlphaTest(0, 254);
    states.SetColourWriteMask(15);

    PixelShader* pixel = nullptr;
    if (alpha) {
        if (!shadowPixel_) shadowPixel_ = BuildShadowPixelShader();
        pixel = shadowPixel_.get();
    } else {
        pixel = services_.pixelShaders->GetBuiltinPixelShader(BuiltinPixelShader::DepthOnly, kDepthOnlyPixelShader);
    }
    if (pixel == nullptr) return 0;
    services_.pixelShaders->BindPixelShader(pixel);
    return BindShadowPass(material, view, matrix, skinned, instanced);
}

int ShaderSet::BindShadowPass(const MaterialDef&, const MaterialView*, const Matrix44*, bool, bool) { return 1; }

bool ShaderSet::NeedsAlphaShadow(const MaterialDef&) const { return false; }

std::unique_ptr<VertexShader> ShaderSet::BuildShadowVertexShader(bool, bool) { return nullptr; }

std::unique_ptr<PixelShader> ShaderSet::BuildShadowPixelShader() { return nullptr; }

VertexShader* ShaderSet::CachedVertexShader(bool skinned, bool instanced, std::uint32_t lightFlags, bool bump) const {
    return vertex_[VertexTable(skinned, instanced)][VertexEntry(lightFlags, bump)].get();
}

PixelShader* ShaderSet::CachedPixelShader(std::uint32_t lightFlags, int lightingModel, bool bump) const {
    if (lightingModel < 0 || lightingModel >= kLightingModels) return nullptr;
    return pixel_[PixelEntry(lightFlags, lightingModel, bump)].get();
}

VertexShader* ShaderSet::CachedShadowVertexShader(bool skinned, bool instanced) const {
    return shadowVertex_[(skinned ? 2 : 0) + (instanced ? 1 : 0)].get();
}

std::string& ShaderSet::Text() { return services_.pixelShaders->Text(); }

std::unique_ptr<VertexShader> ShaderSet::CompileVertexText() {
    return CompileVertexShader(services_.vertexShaders->Device(), Text());
}

std::unique_ptr<PixelShader> ShaderSet::CompilePixelText() {
    return CompilePixelShader(services_.pixelShaders->Device(), Text());
}

double ShaderSet::Milliseconds() const { return services_.timer != nullptr ? services_.timer->GetMilliseconds() : 0.0; }

void ShaderSet::SetPixelColourSlot(const MaterialDef& material, int slot, int reg) {
    const ColourF colour = material.GetColourF(slot);
    services_.pixelShaders->SetPixelVector(Vec4{colour.r, colour.g, colour.b, colour.a}, reg);
}

}  // namespace engine
