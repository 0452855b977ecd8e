// Render states, sampler states, textures, targets, viewport and scissor, Clear, StretchRect and read-back.
#include <algorithm>
#include <cassert>
#include <cstring>

#include "sys/gpu_device.h"
#include "sys/gpu_gl.h"

namespace sys {
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

void ColourOfArgb(std::uint32_t argb, float out[4]) {
    out[0] = static_cast<float>((argb >> 16) & 0xFF) / 255.0f;
    out[1] = static_cast<float>((argb >> 8) & 0xFF) / 255.0f;
    out[2] = static_cast<float>(argb & 0xFF) / 255.0f;
    out[3] = static_cast<float>(argb >> 24) / 255.0f;
}

GpuRect Intersect(const GpuRect& a, const GpuRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

bool Empty(const GpuRect& r) { return r.right <= r.left || r.bottom <= r.top; }

GpuRect WholeSurface(const GpuSurface* surface) {
    return {0, 0, static_cast<std::int32_t>(surface->GetDesc().width),
            static_cast<std::int32_t>(surface->GetDesc().height)};
}

bool IsDepth(const GpuSurface* surface) { return (surface->GetDesc().usage & kUsageDepthStencil) != 0; }

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

GpuResult GpuDevice::SetRenderTarget(std::uint32_t index, GpuSurface* surface) {
    Count(GpuCall::SetRenderTarget);
    if (index != 0 || surface == nullptr || IsDepth(surface)) return kGpuInvalidCall;
    Rebind(renderTarget_, surface);
    framebufferDirty_ = true;
    GpuViewport whole;
    whole.width = surface->GetDesc().width;
    whole.height = surface->GetDesc().height;
    ApplyViewport(whole);
    return kGpuOk;
}

GpuResult GpuDevice::SetDepthStencilSurface(GpuSurface* surface) {
    Count(GpuCall::SetDepthStencilSurface);
    if (surface != nullptr && !IsDepth(surface)) return kGpuInvalidCall;
    Rebind(depthStencil_, surface);
    framebufferDirty_ = true;
    return kGpuOk;
}

bool GpuDevice::DepthAttachable() const {
    if (depthStencil_ == nullptr || renderTarget_ == nullptr) return depthStencil_ != nullptr;
    return depthStencil_->samples_ == renderTarget_->samples_;
}

void GpuDevice::AttachSurface(std::uint32_t target, std::uint32_t attachment, GpuSurface* surface) {
    if (surface == nullptr || surface->renderbuffer_ != 0) {
        GL(glFramebufferRenderbuffer(target, attachment, GL_RENDERBUFFER, surface != nullptr ? surface->renderbuffer_ : 0));
        return;
    }
    const GpuBaseTexture* texture = surface->container_;
    const GLenum textureTarget = texture->IsCube() ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + surface->face_ : GL_TEXTURE_2D;
    GL(glFramebufferTexture2D(target, attachment, textureTarget, texture->name_, static_cast<GLint>(surface->level_)));
}

bool GpuDevice::BindFramebuffer() {
    if (!framebufferDirty_) return framebufferComplete_;
    GL(glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_));
    AttachSurface(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, renderTarget_);
    AttachSurface(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, DepthAttachable() ? depthStencil_ : nullptr);
    const GLenum buffer = renderTarget_ != nullptr ? GL_COLOR_ATTACHMENT0 : GL_NONE;
    GL(glDrawBuffer(buffer));
    GL(glReadBuffer(buffer));
    framebufferComplete_ = GL(glCheckFramebufferStatus(GL_FRAMEBUFFER)) == GL_FRAMEBUFFER_COMPLETE;
    framebufferDirty_ = false;
    return framebufferComplete_;
}

GpuResult GpuDevice::Clear(std::uint32_t count, const GpuRect* rects, std::uint32_t flags, std::uint32_t argb,
                           float z, std::uint32_t stencil) {
    Count(GpuCall::Clear);
    if (!BindFramebuffer()) return kGpuInvalidCall;
    const GpuRect view = {static_cast<std::int32_t>(viewport_.x), static_cast<std::int32_t>(viewport_.y),
                          static_cast<std::int32_t>(viewport_.x + viewport_.width),
                          static_cast<std::int32_t>(viewport_.y + viewport_.height)};
    std::vector<GpuRect> areas;
    if (count == 0 || rects == nullptr) {
        areas.push_back(view);
    } else {
        for (std::uint32_t i = 0; i < count; ++i) areas.push_back(Intersect(rects[i], view));
    }
    const bool scissorOn = renderStates_[kRsScissorTestEnable] != 0;
    GLbitfield mask = 0;
    if ((flags & kClearTarget) != 0 && renderTarget_ != nullptr) mask |= GL_COLOR_BUFFER_BIT;
    if ((flags & kClearZBuffer) != 0) mask |= GL_DEPTH_BUFFER_BIT;
    if ((flags & kClearStencil) != 0) mask |= GL_STENCIL_BUFFER_BIT;
    float colour[4];
    ColourOfArgb(argb, colour);
    GL(glClearColor(colour[0], colour[1], colour[2], colour[3]));
    GL(glClearDepth(z));
    GL(glClearStencil(static_cast<GLint>(stencil & 0xFF)));
    // Depth and stencil are cleared whatever their write masks; colour keeps the colour write mask.
    GL(glDepthMask(GL_TRUE));
    if (!scissorOn) GL(glEnable(GL_SCISSOR_TEST));
    const bool detachedDepth = (flags & (kClearZBuffer | kClearStencil)) != 0 && !DepthAttachable();
    for (GpuRect area : areas) {
        if (scissorOn) area = Intersect(area, scissor_);
        if (Empty(area)) continue;
        GL(glScissor(area.left, area.top, area.right - area.left, area.bottom - area.top));
        if (mask != 0) GL(glClear(mask));
        if (detachedDepth) ClearDetachedDepth(area, flags, z, stencil);
    }
    GL(glDepthMask(renderStates_[kRsZWriteEnable] != 0 ? GL_TRUE : GL_FALSE));
    GL(glScissor(scissor_.left, scissor_.top, std::max(0, scissor_.right - scissor_.left),
                 std::max(0, scissor_.bottom - scissor_.top)));
    if (!scissorOn) GL(glDisable(GL_SCISSOR_TEST));
    return kGpuOk;
}

// A depth surface of another sample count than the colour target is not attached; it is cleared on its own.
void GpuDevice::ClearDetachedDepth(const GpuRect& rect, std::uint32_t flags, float z, std::uint32_t stencil) {
    if (depthStencil_ == nullptr) return;
    GL(glBindFramebuffer(GL_FRAMEBUFFER, copyFramebuffers_[1]));
    AttachSurface(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, depthStencil_);
    GL(glDrawBuffer(GL_NONE));
    GL(glReadBuffer(GL_NONE));
    GL(glClearDepth(z));
    GL(glClearStencil(static_cast<GLint>(stencil & 0xFF)));
    GLbitfield mask = 0;
    if ((flags & kClearZBuffer) != 0) mask |= GL_DEPTH_BUFFER_BIT;
    if ((flags & kClearStencil) != 0) mask |= GL_STENCIL_BUFFER_BIT;
    GL(glScissor(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
    GL(glClear(mask));
    AttachSurface(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, nullptr);
    GL(glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_));
}

GpuResult GpuDevice::StretchRect(GpuSurface* source, const GpuRect* sourceRect, GpuSurface* dest,
                                 const GpuRect* destRect, std::uint32_t filter) {
    Count(GpuCall::StretchRect);
    if (source == nullptr || dest == nullptr || IsDepth(source) != IsDepth(dest) || dest->samples_ != 0) {
        return kGpuInvalidCall;
    }
    const GpuRect from = sourceRect != nullptr ? *sourceRect : WholeSurface(source);
    const GpuRect to = destRect != nullptr ? *destRect : WholeSurface(dest);
    const bool sameSize = from.right - from.left == to.right - to.left && from.bottom - from.top == to.bottom - to.top;
    if (source->samples_ != 0 && !sameSize) return kGpuInvalidCall;
    const bool depth = IsDepth(source);
    const GLenum attachment = depth ? GL_DEPTH_STENCIL_ATTACHMENT : GL_COLOR_ATTACHMENT0;
    GL(glBindFramebuffer(GL_READ_FRAMEBUFFER, copyFramebuffers_[0]));
    GL(glBindFramebuffer(GL_DRAW_FRAMEBUFFER, copyFramebuffers_[1]));
    AttachSurface(GL_READ_FRAMEBUFFER, attachment, source);
    AttachSurface(GL_DRAW_FRAMEBUFFER, attachment, dest);
    GL(glReadBuffer(depth ? GL_NONE : GL_COLOR_ATTACHMENT0));
    GL(glDrawBuffer(depth ? GL_NONE : GL_COLOR_ATTACHMENT0));
    const bool scissorOn = renderStates_[kRsScissorTestEnable] != 0;
    if (scissorOn) GL(glDisable(GL_SCISSOR_TEST));
    const GLenum glFilter = !depth && !sameSize && filter == kFilterLinear ? GL_LINEAR : GL_NEAREST;
    GL(glBlitFramebuffer(from.left, from.top, from.right, from.bottom, to.left, to.top, to.right, to.bottom,
                         depth ? GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT : GL_COLOR_BUFFER_BIT, glFilter));
    if (scissorOn) GL(glEnable(GL_SCISSOR_TEST));
    AttachSurface(GL_READ_FRAMEBUFFER, attachment, nullptr);
    AttachSurface(GL_DRAW_FRAMEBUFFER, attachment, nullptr);
    GL(glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_));
    return kGpuOk;
}

bool GpuDevice::ReadSurface(GpuSurface* surface, std::uint32_t format, std::uint32_t type, void* out) {
    const bool depth = IsDepth(surface);
    const GLenum attachment = depth ? GL_DEPTH_STENCIL_ATTACHMENT : GL_COLOR_ATTACHMENT0;
    GL(glBindFramebuffer(GL_READ_FRAMEBUFFER, copyFramebuffers_[0]));
    AttachSurface(GL_READ_FRAMEBUFFER, attachment, surface);
    GL(glReadBuffer(depth ? GL_NONE : GL_COLOR_ATTACHMENT0));
    const bool complete = GL(glCheckFramebufferStatus(GL_READ_FRAMEBUFFER)) == GL_FRAMEBUFFER_COMPLETE;
    if (complete) {
        GL(glPixelStorei(GL_PACK_ALIGNMENT, 1));
        GL(glReadPixels(0, 0, static_cast<GLsizei>(surface->desc_.width), static_cast<GLsizei>(surface->desc_.height),
                        format, type, out));
    }
    AttachSurface(GL_READ_FRAMEBUFFER, attachment, nullptr);
    GL(glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_));
    return complete;
}

bool GpuDevice::ReadSurfaceRgba8(GpuSurface* surface, std::vector<std::uint8_t>& out) {
    if (surface == nullptr || surface->samples_ != 0 || IsDepth(surface)) return false;
    out.resize(static_cast<std::size_t>(surface->desc_.width) * surface->desc_.height * 4);
    return ReadSurface(surface, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
}

bool GpuDevice::ReadSurfaceFloats(GpuSurface* surface, std::vector<float>& out) {
    if (surface == nullptr || surface->samples_ != 0) return false;
    out.resize(static_cast<std::size_t>(surface->desc_.width) * surface->desc_.height);
    return ReadSurface(surface, IsDepth(surface) ? GL_DEPTH_COMPONENT : GL_RED, GL_FLOAT, out.data());
}

}  // namespace sys
