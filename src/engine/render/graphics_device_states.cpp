// The state cache, the cached raw setters and the state vocabulary.
#include <algorithm>
#include <cstring>

#include "engine/render/graphics_device.h"
#include "engine/render/texture.h"
#include "engine/render/texture_table.h"
#include "engine/render/vertex_formats.h"
#include "sys/gpu_device.h"

namespace engine {

void GraphicsDevice::ResetStateCache() {
    std::fill(renderStates_.begin(), renderStates_.end(), kUnknown);
    std::fill(samplerStates_.begin(), samplerStates_.end(), kUnknown);
    if (stateCacheResetHook_) stateCacheResetHook_();
    if (vertexDeclarations_ != nullptr) vertexDeclarations_->ResetCurrent();
    cachedStream_ = nullptr;
    cachedStride_ = 0;
    primaryTextures_.fill(nullptr);
    // Unknown, not empty: the first unbind after a reset still reaches the layer.
    stageEmpty_.fill(false);
    SetRenderStateCached(sys::kRsLastPixel, 1);
    SetRenderStateCached(sys::kRsClipping, 1);
    SetRenderStateCached(sys::kRsShadeMode, sys::kShadeGouraud);
    SetRenderStateCached(sys::kRsAlphaFunc, sys::kCmpGreaterEqual);
    SetRenderStateCached(sys::kRsFillMode, sys::kFillSolid);
    SetCullMode(sys::kCullCcw);
}

void GraphicsDevice::SetRenderStateCached(std::uint32_t state, std::uint32_t value) {
    if (!device_ || state >= static_cast<std::uint32_t>(kRenderStates)) return;
    if (renderStates_[state] == value) return;
    renderStates_[state] = value;
    device_->SetRenderState(state, value);
}

std::uint32_t GraphicsDevice::CachedRenderState(std::uint32_t state) const {
    return state < static_cast<std::uint32_t>(kRenderStates) ? renderStates_[state] : kUnknown;
}

void GraphicsDevice::SetSamplerStateCached(std::uint32_t stage, std::uint32_t state, std::uint32_t value) {
    if (!device_ || stage >= static_cast<std::uint32_t>(kStages) ||
        state >= static_cast<std::uint32_t>(kSamplerStates)) {
        return;
    }
    std::uint32_t& cached = samplerStates_[stage * kSamplerStates + state];
    if (cached == value) return;
    cached = value;
    device_->SetSamplerState(stage, state, value);
}

void GraphicsDevice::SetRawTexture(std::uint32_t stage, sys::GpuBaseTexture* texture) {
    if (!device_ || texture == nullptr || stage >= static_cast<std::uint32_t>(kStages)) return;
    if (primaryTextures_[stage] == texture) return;
    device_->SetTexture(stage, texture);
    stageEmpty_[stage] = false;
    primaryTextures_[stage] = texture;
    alternateTextures_[stage] = nullptr;
}

void GraphicsDevice::SetTexture(std::uint32_t stage, int handle) {
    const Texture* texture = TextureTable::Get(handle);
    if (!device_ || texture == nullptr || stage >= static_cast<std::uint32_t>(kStages)) return;
    const bool cube = (texture->flags & kTextureCube) != 0;
    sys::GpuBaseTexture* gpu = cube ? static_cast<sys::GpuBaseTexture*>(texture->cubeTexture) : texture->texture;
    if (gpu == nullptr) return;
    auto& entry = cube ? alternateTextures_[stage] : primaryTextures_[stage];
    if (entry == gpu) return;
    device_->SetTexture(stage, gpu);
    stageEmpty_[stage] = false;
    entry = gpu;
    (cube ? primaryTextures_[stage] : alternateTextures_[stage]) = nullptr;
}

void GraphicsDevice::UnbindTexture(std::uint32_t stage) {
    if (!device_ || stage >= static_cast<std::uint32_t>(kStages) || stageEmpty_[stage]) return;
    device_->SetTexture(stage, nullptr);
    stageEmpty_[stage] = true;
    primaryTextures_[stage] = nullptr;
    alternateTextures_[stage] = nullptr;
}

void GraphicsDevice::UnbindAllTextures() {
    for (std::uint32_t stage = 0; stage < kStages; ++stage) UnbindTexture(stage);
}

void GraphicsDevice::UnbindIndexBuffer() {
    if (!device_) return;
    device_->SetIndices(nullptr);
    cachedStream_ = nullptr;
}

void GraphicsDevice::UnbindAll(bool full) {
    UnbindAllTextures();
    UnbindIndexBuffer();
    if (full) ResetStateCache();
}

void GraphicsDevice::SetRenderTargetSurface(sys::GpuSurface* surface) {
    if (!device_ || surface == nullptr || surface == cachedTarget_) return;
    if (device_->SetRenderTarget(0, surface) == sys::kGpuOk) cachedTarget_ = surface;
}

void GraphicsDevice::SetDepthSurfaceCached(sys::GpuSurface* surface) {
    if (!device_ || (cachedDepthKnown_ && surface == cachedDepth_)) return;
    if (device_->SetDepthStencilSurface(surface) != sys::kGpuOk) return;
    cachedDepth_ = surface;
    cachedDepthKnown_ = true;
}

void GraphicsDevice::SetBlendMode(int mode) {
    static constexpr struct {
        std::uint32_t source;
        std::uint32_t dest;
    } kFactors[] = {{0, 0},
                    {sys::kBlendSrcAlpha, sys::kBlendOne},
                    {sys::kBlendZero, sys::kBlendInvSrcColor},
                    {sys::kBlendSrcAlpha, sys::kBlendInvSrcAlpha},
                    {sys::kBlendOne, sys::kBlendInvSrcAlpha},
                    {sys::kBlendOne, sys::kBlendOne}};
    if (mode == kBlendOff) {
        SetRenderStateCached(sys::kRsAlphaBlendEnable, 0);
        return;
    }
    if (mode < 1 || mode > 5) return;
    SetRenderStateCached(sys::kRsSrcBlend, kFactors[mode].source);
    SetRenderStateCached(sys::kRsDestBlend, kFactors[mode].dest);
    SetRenderStateCached(sys::kRsAlphaBlendEnable, 1);
}

void GraphicsDevice::SetAlphaTest(int mode, std::uint32_t reference) {
    switch (mode) {
        case 0:
            SetRenderStateCached(sys::kRsAlphaTestEnable, 0);
            break;
        case 1:
            SetRenderStateCached(sys::kRsAlphaTestEnable, 1);
            SetRenderStateCached(sys::kRsAlphaRef, reference);
            break;
        case 2:
            SetRenderStateCached(sys::kRsAlphaRef, 1);
            SetRenderStateCached(sys::kRsAlphaTestEnable, 1);
            break;
        default:
            break;
    }
}

void GraphicsDevice::SetDepthMode(bool test, bool write, bool reversed) {
    if (test) {
        SetRenderStateCached(sys::kRsZEnable, 1);
        SetRenderStateCached(sys::kRsZWriteEnable, write ? 1 : 0);
        SetRenderStateCached(sys::kRsZFunc, reversed ? sys::kCmpGreaterEqual : sys::kCmpLessEqual);
    } else if (write) {
        SetRenderStateCached(sys::kRsZEnable, 1);
        SetRenderStateCached(sys::kRsZWriteEnable, 1);
        SetRenderStateCached(sys::kRsZFunc, sys::kCmpAlways);
    } else {
        SetRenderStateCached(sys::kRsZEnable, 0);
    }
}

void GraphicsDevice::ApplyMaterialDepthState(std::uint32_t flags, int blendMode) {
    const bool test = (flags & 0x4) == 0;
    const bool write = (flags & 0x60) != 0 || (blendMode != kBlendAlpha && (flags & 0x8) == 0);
    SetDepthMode(test, write, (flags & 0x2) != 0);
}

void GraphicsDevice::SetTextureAddressMode(std::uint32_t stage, int mode) {
    if (mode < 1 || mode > 4) return;
    SetSamplerStateCached(stage, sys::kSampAddressU, static_cast<std::uint32_t>(mode));
    SetSamplerStateCached(stage, sys::kSampAddressV, static_cast<std::uint32_t>(mode));
}

void GraphicsDevice::SetTextureFilter(std::uint32_t stage, int kind, std::uint32_t maxMipLevel) {
    const bool linear = kind == 1 || kind == 2;
    if (kind < 0 || kind > 3) return;
    SetSamplerStateCached(stage, sys::kSampMinFilter, linear ? sys::kFilterLinear : sys::kFilterPoint);
    SetSamplerStateCached(stage, sys::kSampMagFilter, linear ? sys::kFilterLinear : sys::kFilterPoint);
    if (kind < 2) {
        SetSamplerStateCached(stage, sys::kSampMipFilter, sys::kFilterNone);
        return;
    }
    std::uint32_t bias = 0;
    std::memcpy(&bias, &mipLodBias_, sizeof bias);
    SetSamplerStateCached(stage, sys::kSampMipFilter, sys::kFilterLinear);
    SetSamplerStateCached(stage, sys::kSampMipMapLodBias, bias);
    SetSamplerStateCached(stage, sys::kSampMaxMipLevel, maxMipLevel);
}

void GraphicsDevice::SetColourWriteMask(std::uint32_t mask) { SetRenderStateCached(sys::kRsColorWriteEnable, mask); }

void GraphicsDevice::SetCullMode(std::uint32_t mode) { SetRenderStateCached(sys::kRsCullMode, mode); }

}  // namespace engine
