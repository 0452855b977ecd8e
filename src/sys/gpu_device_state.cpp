// Render states, sampler states, textures, viewport and scissor, and the register files.
#include <algorithm>
#include <cassert>
#include <cstring>

#include "sys/gpu_device.h"
#include "sys/gpu_gl.h"

namespace sys {

using gpu_internal::ColourOfArgb;
using gpu_internal::WholeSurface;

namespace {

GLenum BlendFactor(std::uint32_t blend) {
    switch (blend) {
        case kBlendZero: return GL_ZERO;
        case kBlendOne: return GL_ONE;
        case kBlendSrcColor: return GL_SRC_COLOR;
        case kBlendInvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
        case kBlendSrcAlpha: return GL_SRC_ALPHA;
        case kBlendInvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
        case kBlendDestAlpha: return GL_DST_ALPHA;
        case kBlendInvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
        case kBlendDestColor: return GL_DST_COLOR;
        case kBlendInvDestColor: return GL_ONE_MINUS_DST_COLOR;
        case kBlendSrcAlphaSat: return GL_SRC_ALPHA_SATURATE;
        default: return GL_ONE;
    }
}

GLenum BlendEquation(std::uint32_t op) {
    switch (op) {
        case kBlendOpSubtract: return GL_FUNC_SUBTRACT;
        case kBlendOpRevSubtract: return GL_FUNC_REVERSE_SUBTRACT;
        case kBlendOpMin: return GL_MIN;
        case kBlendOpMax: return GL_MAX;
        default: return GL_FUNC_ADD;
    }
}

GLenum CompareFunction(std::uint32_t compare) {
    switch (compare) {
        case kCmpNever: return GL_NEVER;
        case kCmpLess: return GL_LESS;
        case kCmpEqual: return GL_EQUAL;
        case kCmpLessEqual: return GL_LEQUAL;
        case kCmpGreater: return GL_GREATER;
        case kCmpNotEqual: return GL_NOTEQUAL;
        case kCmpGreaterEqual: return GL_GEQUAL;
        default: return GL_ALWAYS;
    }
}

GLint AddressMode(std::uint32_t mode) {
    switch (mode) {
        case kAddressMirror: return GL_MIRRORED_REPEAT;
        case kAddressClamp: return GL_CLAMP_TO_EDGE;
        case kAddressBorder: return GL_CLAMP_TO_BORDER;
        default: return GL_REPEAT;
    }
}

GLint MinFilter(std::uint32_t min, std::uint32_t mip) {
    const bool linear = min >= kFilterLinear;
    if (mip == kFilterNone) return linear ? GL_LINEAR : GL_NEAREST;
    if (mip == kFilterPoint) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

float FloatOfBits(std::uint32_t bits) {
    float value = 0.0f;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

void GpuDevice::SetDefaultStates() {
    renderStates_.fill(0);
    renderStates_[kRsZEnable] = params_.enableAutoDepthStencil != 0 ? 1 : 0;
    renderStates_[kRsFillMode] = kFillSolid;
    renderStates_[kRsShadeMode] = kShadeGouraud;
    renderStates_[kRsZWriteEnable] = 1;
    renderStates_[kRsLastPixel] = 1;
    renderStates_[kRsSrcBlend] = kBlendOne;
    renderStates_[kRsDestBlend] = kBlendZero;
    renderStates_[kRsCullMode] = kCullCcw;
    renderStates_[kRsZFunc] = kCmpLessEqual;
    renderStates_[kRsAlphaFunc] = kCmpAlways;
    renderStates_[kRsClipping] = 1;
    renderStates_[kRsColorWriteEnable] = 0xF;
    renderStates_[kRsBlendOp] = kBlendOpAdd;
    for (std::uint32_t state : {kRsZEnable, kRsFillMode, kRsZWriteEnable, kRsAlphaTestEnable, kRsSrcBlend,
                                kRsCullMode, kRsZFunc, kRsAlphaBlendEnable, kRsColorWriteEnable, kRsBlendOp,
                                kRsScissorTestEnable}) {
        ApplyRenderState(state, renderStates_[state]);
    }
    for (std::uint32_t stage = 0; stage < kSamplerStages; ++stage) {
        std::array<std::uint32_t, kSamplerStateCount>& states = samplerStates_[stage];
        states.fill(0);
        states[kSampAddressU] = states[kSampAddressV] = states[kSampAddressW] = kAddressWrap;
        states[kSampMagFilter] = states[kSampMinFilter] = kFilterPoint;
        for (std::uint32_t type = kSampAddressU; type <= kSampMaxMipLevel; ++type) {
            ApplySamplerState(stage, type, states[type]);
        }
    }
    for (RegisterFile& file : registers_) {
        file.values.fill({0.0f, 0.0f, 0.0f, 0.0f});
        file.dirtyBegin = 0;
        file.dirtyEnd = 256;
    }
    UpdateAlphaTestRegister();
    GpuViewport whole;
    whole.width = renderTarget_->GetDesc().width;
    whole.height = renderTarget_->GetDesc().height;
    scissor_ = WholeSurface(renderTarget_);
    GL(glScissor(0, 0, scissor_.right, scissor_.bottom));
    ApplyViewport(whole);
}

void GpuDevice::ApplyRenderState(std::uint32_t state, std::uint32_t value) {
    const auto enable = [](GLenum capability, bool on) {
        if (on) {
            GL(glEnable(capability));
        } else {
            GL(glDisable(capability));
        }
    };
    switch (state) {
        case kRsZEnable: enable(GL_DEPTH_TEST, value != 0); break;
        case kRsFillMode:
            GL(glPolygonMode(GL_FRONT_AND_BACK, value == kFillPoint ? GL_POINT
                                                : value == kFillWireframe ? GL_LINE : GL_FILL));
            break;
        case kRsZWriteEnable: GL(glDepthMask(value != 0 ? GL_TRUE : GL_FALSE)); break;
        case kRsSrcBlend:
        case kRsDestBlend: ApplyBlend(); break;
        case kRsCullMode: ApplyCull(); break;
        case kRsZFunc: GL(glDepthFunc(CompareFunction(value))); break;
        case kRsAlphaTestEnable:
        case kRsAlphaRef:
        case kRsAlphaFunc: UpdateAlphaTestRegister(); break;
        case kRsAlphaBlendEnable: enable(GL_BLEND, value != 0); break;
        case kRsColorWriteEnable:
            GL(glColorMask((value & kWriteRed) != 0, (value & kWriteGreen) != 0, (value & kWriteBlue) != 0,
                           (value & kWriteAlpha) != 0));
            break;
        case kRsBlendOp: GL(glBlendEquation(BlendEquation(value))); break;
        case kRsScissorTestEnable: enable(GL_SCISSOR_TEST, value != 0); break;
        default: break;  // shading, last pixel, clipping and the rest have no GL counterpart here
    }
}

void GpuDevice::ApplyBlend() {
    GL(glBlendFunc(BlendFactor(renderStates_[kRsSrcBlend]), BlendFactor(renderStates_[kRsDestBlend])));
}

// Every picture is drawn upside down, which mirrors the winding: D3D's clockwise is GL's counter-clockwise.
void GpuDevice::ApplyCull() {
    const std::uint32_t mode = renderStates_[kRsCullMode];
    if (mode != kCullCw && mode != kCullCcw) {
        GL(glDisable(GL_CULL_FACE));
        return;
    }
    GL(glEnable(GL_CULL_FACE));
    GL(glFrontFace(mode == kCullCw ? GL_CW : GL_CCW));
    GL(glCullFace(GL_BACK));
}

void GpuDevice::UpdateAlphaTestRegister() {
    const std::uint32_t function = renderStates_[kRsAlphaFunc];
    assert(function == kCmpAlways || function == kCmpGreaterEqual);
    const bool on = renderStates_[kRsAlphaTestEnable] != 0 && function != kCmpAlways;
    WriteRegister(1, 255, {on ? 1.0f : 0.0f, static_cast<float>(renderStates_[kRsAlphaRef] & 0xFF), 0.0f, 0.0f});
}

void GpuDevice::WriteRegister(int file, std::uint32_t index, const GpuFloat4& value) {
    RegisterFile& registers = registers_[file];
    registers.values[index] = value;
    registers.dirtyBegin = std::min(registers.dirtyBegin, index);
    registers.dirtyEnd = std::max(registers.dirtyEnd, index + 1);
}

GpuResult GpuDevice::SetRenderState(std::uint32_t state, std::uint32_t value) {
    Count(GpuCall::SetRenderState);
    if (state >= kRenderStateCount) return kGpuInvalidCall;
    renderStates_[state] = value;
    ApplyRenderState(state, value);
    return kGpuOk;
}

std::uint32_t GpuDevice::GetRenderState(std::uint32_t state) const {
    return state < kRenderStateCount ? renderStates_[state] : 0;
}

void GpuDevice::ApplySamplerState(std::uint32_t stage, std::uint32_t type, std::uint32_t value) {
    const GLuint sampler = samplers_[stage];
    const std::array<std::uint32_t, kSamplerStateCount>& states = samplerStates_[stage];
    switch (type) {
        case kSampAddressU: GL(glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, AddressMode(value))); break;
        case kSampAddressV: GL(glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, AddressMode(value))); break;
        case kSampAddressW: GL(glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, AddressMode(value))); break;
        case kSampBorderColor: {
            float colour[4];
            ColourOfArgb(value, colour);
            GL(glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, colour));
            break;
        }
        case kSampMagFilter:
            GL(glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, value >= kFilterLinear ? GL_LINEAR : GL_NEAREST));
            break;
        case kSampMinFilter:
        case kSampMipFilter:
            GL(glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                                   MinFilter(states[kSampMinFilter], states[kSampMipFilter])));
            break;
        case kSampMipMapLodBias: GL(glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, FloatOfBits(value))); break;
        // The most detailed level allowed: GL's minimum level of detail.
        case kSampMaxMipLevel: GL(glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, static_cast<float>(value))); break;
        default: break;
    }
}

GpuResult GpuDevice::SetSamplerState(std::uint32_t stage, std::uint32_t type, std::uint32_t value) {
    Count(GpuCall::SetSamplerState);
    if (stage >= kSamplerStages || type >= kSamplerStateCount) return kGpuInvalidCall;
    samplerStates_[stage][type] = value;
    ApplySamplerState(stage, type, value);
    return kGpuOk;
}

std::uint32_t GpuDevice::GetSamplerState(std::uint32_t stage, std::uint32_t type) const {
    return stage < kSamplerStages && type < kSamplerStateCount ? samplerStates_[stage][type] : 0;
}

GpuResult GpuDevice::SetTexture(std::uint32_t stage, GpuBaseTexture* texture) {
    Count(GpuCall::SetTexture);
    if (stage >= kSamplerStages) return kGpuInvalidCall;
    Rebind(textures_[stage], texture);
    GL(glActiveTexture(GL_TEXTURE0 + stage));
    const bool cube = texture != nullptr && texture->IsCube();
    GL(glBindTexture(GL_TEXTURE_2D, texture != nullptr && !cube ? texture->name_ : 0));
    GL(glBindTexture(GL_TEXTURE_CUBE_MAP, cube ? texture->name_ : 0));
    return kGpuOk;
}

GpuBaseTexture* GpuDevice::GetTexture(std::uint32_t stage) const {
    return stage < kSamplerStages ? textures_[stage] : nullptr;
}

GpuResult GpuDevice::SetViewport(const GpuViewport& viewport) {
    Count(GpuCall::SetViewport);
    ApplyViewport(viewport);
    return kGpuOk;
}

void GpuDevice::ApplyViewport(const GpuViewport& viewport) {
    viewport_ = viewport;
    GL(glViewport(static_cast<GLint>(viewport.x), static_cast<GLint>(viewport.y),
                  static_cast<GLsizei>(viewport.width), static_cast<GLsizei>(viewport.height)));
    GL(glDepthRange(viewport.minZ, viewport.maxZ));
    // The translated vertex shaders move pixel centres onto integer coordinates with these.
    const float w = viewport.width > 0 ? 1.0f / static_cast<float>(viewport.width) : 0.0f;
    const float h = viewport.height > 0 ? 1.0f / static_cast<float>(viewport.height) : 0.0f;
    WriteRegister(0, 255, {w, h, 0.0f, 0.0f});
}

GpuResult GpuDevice::SetScissorRect(const GpuRect& rect) {
    Count(GpuCall::SetScissorRect);
    scissor_ = rect;
    GL(glScissor(rect.left, rect.top, std::max(0, rect.right - rect.left), std::max(0, rect.bottom - rect.top)));
    return kGpuOk;
}

}  // namespace sys
