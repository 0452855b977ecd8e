// Render targets and depth surfaces, the framebuffer they make, Clear, StretchRect and read-back.
#include <algorithm>

#include "sys/gpu_device.h"
#include "sys/gpu_gl.h"
#include "sys/gpu_test_hooks.h"

namespace sys {

using gpu_internal::ColourOfArgb;
using gpu_internal::WholeSurface;

namespace {

GpuRect Intersect(const GpuRect& a, const GpuRect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

bool Empty(const GpuRect& r) { return r.right <= r.left || r.bottom <= r.top; }

bool IsDepth(const GpuSurface* surface) { return (surface->GetDesc().usage & kUsageDepthStencil) != 0; }

}  // namespace

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
        const GLuint renderbuffer = surface != nullptr ? surface->renderbuffer_ : 0;
        GL(glFramebufferRenderbuffer(target, attachment, GL_RENDERBUFFER, renderbuffer));
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
    if (GpuHooks().recordDrawsOnly) return kGpuOk;
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
    // A depth surface that is not attached, or larger than the colour target (GL clears only where both
    // are), is cleared on its own.
    const bool separateDepth = (flags & (kClearZBuffer | kClearStencil)) != 0 && depthStencil_ != nullptr &&
                               (!DepthAttachable() || DepthLargerThanTarget());
    GLbitfield mask = 0;
    if ((flags & kClearTarget) != 0 && renderTarget_ != nullptr) mask |= GL_COLOR_BUFFER_BIT;
    if ((flags & kClearZBuffer) != 0 && !separateDepth) mask |= GL_DEPTH_BUFFER_BIT;
    if ((flags & kClearStencil) != 0 && !separateDepth) mask |= GL_STENCIL_BUFFER_BIT;
    float colour[4];
    ColourOfArgb(argb, colour);
    GL(glClearColor(colour[0], colour[1], colour[2], colour[3]));
    GL(glClearDepth(z));
    GL(glClearStencil(static_cast<GLint>(stencil & 0xFF)));
    // Depth and stencil are cleared whatever their write masks; colour keeps the colour write mask.
    GL(glDepthMask(GL_TRUE));
    if (!scissorOn) GL(glEnable(GL_SCISSOR_TEST));
    for (GpuRect area : areas) {
        if (scissorOn) area = Intersect(area, scissor_);
        if (Empty(area)) continue;
        GL(glScissor(area.left, area.top, area.right - area.left, area.bottom - area.top));
        if (mask != 0) GL(glClear(mask));
        if (separateDepth) ClearDetachedDepth(area, flags, z, stencil);
    }
    GL(glDepthMask(renderStates_[kRsZWriteEnable] != 0 ? GL_TRUE : GL_FALSE));
    GL(glScissor(scissor_.left, scissor_.top, std::max(0, scissor_.right - scissor_.left),
                 std::max(0, scissor_.bottom - scissor_.top)));
    if (!scissorOn) GL(glDisable(GL_SCISSOR_TEST));
    return kGpuOk;
}

bool GpuDevice::DepthLargerThanTarget() const {
    return renderTarget_ != nullptr && depthStencil_ != nullptr &&
           (depthStencil_->desc_.width > renderTarget_->desc_.width ||
            depthStencil_->desc_.height > renderTarget_->desc_.height);
}

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
    if (GpuHooks().recordDrawsOnly) return kGpuOk;
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
