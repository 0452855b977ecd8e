#include "engine/render/material_manager.h"

#include <algorithm>
#include <cstring>

#include "engine/image/colour_gradient.h"
#include "engine/render/light_flags.h"
#include "engine/render/material_def.h"
#include "engine/render/material_shader_sets.h"
#include "engine/render/material_stage_textures.h"
#include "engine/render/render_device.h"
#include "engine/render/shader_constant_cache.h"
#include "engine/render/shader_text_buffer.h"

namespace engine {

namespace {

constexpr int kFilterLinearMips = 2;
constexpr int kAddressWrap = 1;

// The ambient colour seen through the view: r, g and b scaled, then the offset added to all four channels,
// each kept in 0..1.
Vec4 ViewedAmbient(std::uint32_t ambient, const MaterialView* view) {
    ColourF c = ArgbToColourF(ambient);
    if (view != nullptr) {
        const ColourF scale = view->ColourScale();
        const ColourF offset = view->ColourOffset();
        c = {c.r * scale.r + offset.r, c.g * scale.g + offset.g, c.b * scale.b + offset.b, c.a + offset.a};
    }
    return {std::clamp(c.r, 0.0f, 1.0f), std::clamp(c.g, 0.0f, 1.0f), std::clamp(c.b, 0.0f, 1.0f),
            std::clamp(c.a, 0.0f, 1.0f)};
}

}  // namespace

MaterialManager::MaterialManager(const ShaderSetServices& services) : services_(services) {}

MaterialManager::~MaterialManager() {
    for (auto& set : sets_) set.reset();
}

void MaterialManager::CreateShaderSets() {
    for (auto& set : sets_) set.reset();
    const ShaderSetServices& s = services_;
    std::unique_ptr<ShaderSet> made[] = {
        std::make_unique<PlainColourShaderSet>(s), std::make_unique<TextureShaderSet>(s),
        std::make_unique<ColourDecalShaderSet>(s), std::make_unique<FurShaderSet>(s),
        std::make_unique<TerrainShaderSet>(s),     std::make_unique<Terrain2ShaderSet>(s),
        std::make_unique<WaterShaderSet>(s),       std::make_unique<Water2ShaderSet>(s),
        std::make_unique<BlockShaderSet>(s),
    };
    for (auto& set : made) {
        const int index = set->Index();
        sets_[index] = std::move(set);
    }
}

ShaderSet* MaterialManager::Set(int index) const {
    return index >= 0 && index < kShaderSetCount ? sets_[index].get() : nullptr;
}

ShaderSet* MaterialManager::SetOf(const MaterialDef& material) const {
    ShaderSet* set = Set(material.shaderSetIndex);
    return set != nullptr ? set : Set(kSetPlainColour);
}

int MaterialManager::FindByCode(const std::uint8_t code[8]) const {
    for (int i = 0; i < kShaderSetCount; ++i) {
        if (sets_[i] && std::memcmp(sets_[i]->Code(), code, 8) == 0) return i;
    }
    return 0;
}

bool MaterialManager::SupportsInstancing(const MaterialDef& material) const {
    const ShaderSet* set = SetOf(material);
    return set != nullptr && set->SupportsInstancing();
}

int MaterialManager::BindMaterial(MaterialDef& material, const MaterialView* view, const Matrix44* matrix,
                                  bool skinned, bool instanced) {
    ShaderSet* set = SetOf(material);
    if (set == nullptr) return 0;
    int model = material.lightingModel;
    if (model < kLightingUnlit || model > kLightingViewDiffuse) model = kLightingUnlit;
    std::uint32_t lightFlags = lightFlags_;
    ShaderTextBuffer& pixel = *services_.pixelShaders;
    if (model == kLightingUnlit) {
        // Unlit variants carry no lights.
        lightFlags = 0;
    } else {
        pixel.SetPixelVector(ViewedAmbient(material.ambientColour, view), kAmbientRegister);
        pixel.SetPixelColour(material.diffuseColour, kDiffuseRegister);
        const Vec4 specularValues{material.specularPower * material.specularPower, material.specularStrength, 0, 0};
        if (model == kLightingBlinn) {
            pixel.SetPixelVector(specularValues, kSpecularValuesRegister);
            pixel.SetPixelColour(material.specularColour, kSpecularRegister);
        } else if (model == kLightingCookTorrance) {
            pixel.SetPixelVector(Vec4{material.cookScale, material.cookRoughness, material.cookFresnel, 0},
                                 kCookTValuesRegister);
            pixel.SetPixelColour(material.specularColour, kSpecularRegister);
        } else if (model == kLightingViewDiffuse) {
            pixel.SetPixelVector(specularValues, kSpecularValuesRegister);
        }
    }

    const bool bump = (material.flags & kMaterialBumpMap) != 0;
    if (bump) {
        int texture = material.extraTexture;
        if (texture == 0) texture = services_.textures->CheckTexture();
        if (texture != 0) {
            services_.textures->Bind(kBumpStage, texture);
        } else {
            services_.textures->Unbind(kBumpStage);
        }
        services_.states->SetTextureFilter(kBumpStage, kFilterLinearMips, 0);
        services_.states->SetTextureAddressMode(kBumpStage, kAddressWrap);
    }

    const float* uv = material.uvTransform;
    services_.vertexShaders->SetVector(Vec4{uv[0], uv[1], uv[2], uv[3]}, kUVOffsetRegister);
    return set->Bind(material, view, matrix, skinned, instanced, lightFlags, model, bump);
}

}  // namespace engine
