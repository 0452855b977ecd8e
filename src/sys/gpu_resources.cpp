// Reference counting, surfaces, textures and buffers, and their creation by the device.
#include <algorithm>
#include <cstring>

#include "sys/gpu_device.h"
#include "sys/gpu_gl.h"
#include "sys/gpu_test_hooks.h"

namespace sys {
namespace {

struct TextureFormat {
    GLint internalFormat = 0;
    GLenum format = 0;
    GLenum type = 0;
};

// The colour formats the layer stores; internalFormat 0 for the others.
TextureFormat GlFormatOf(GpuFormat format) {
    switch (format) {
        case kFmtA8R8G8B8:
        case kFmtX8R8G8B8:
            return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE};
        case kFmtR32F:
            return {GL_R32F, GL_RED, GL_FLOAT};
        // Block formats only where the driver takes S3TC blocks; creation fails elsewhere.
        case kFmtDxt1:
            if (!epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc")) return {};
            return {GL_COMPRESSED_RGBA_S3TC_DXT1_EXT, 0, 0};
        case kFmtDxt3:
            if (!epoxy_has_gl_extension("GL_EXT_texture_compression_s3tc")) return {};
            return {GL_COMPRESSED_RGBA_S3TC_DXT3_EXT, 0, 0};
        default:
            return {};
    }
}

std::uint32_t FullChain(std::uint32_t width, std::uint32_t height) {
    std::uint32_t levels = 1;
    for (std::uint32_t size = std::max(width, height); size > 1; size >>= 1) ++levels;
    return levels;
}

}  // namespace

// ---- reference counting

GpuResource::GpuResource(GpuDevice* device, bool tracked) : device_(device), tracked_(tracked && device != nullptr) {
    if (tracked_) device_->Track(this);
}

std::uint32_t GpuResource::AddRef() { return ++refs_; }

std::uint32_t GpuResource::Release() {
    if (--refs_ > 0) return refs_;
    if (device_ != nullptr) {
        DeleteGl();
        if (tracked_) device_->Untrack(this);
    }
    delete this;
    return 0;
}

void GpuResource::Orphan() {
    DeleteGl();
    device_ = nullptr;
}

// ---- surfaces

GpuSurface::GpuSurface(GpuDevice* device, const GpuSurfaceDesc& desc, std::uint32_t renderbuffer, int samples)
    : GpuResource(device, true), desc_(desc), renderbuffer_(renderbuffer), samples_(samples) {}

GpuSurface::GpuSurface(GpuBaseTexture* container, std::uint32_t face, std::uint32_t level,
                       const GpuSurfaceDesc& desc)
    : GpuResource(nullptr, false), desc_(desc), container_(container), face_(face), level_(level) {}

std::uint32_t GpuSurface::AddRef() { return container_ != nullptr ? container_->AddRef() : GpuResource::AddRef(); }

std::uint32_t GpuSurface::Release() {
    return container_ != nullptr ? container_->Release() : GpuResource::Release();
}

void GpuSurface::DeleteGl() {
    if (renderbuffer_ != 0) GL(glDeleteRenderbuffers(1, &renderbuffer_));
    renderbuffer_ = 0;
}

GpuResult GpuSurface::LockRect(GpuLockedRect& locked, const GpuRect* rect, std::uint32_t flags) {
    if (container_ == nullptr) return kGpuInvalidCall;
    return container_->LockLevel(face_, level_, locked, rect, flags);
}

GpuResult GpuSurface::UnlockRect() {
    if (container_ == nullptr) return kGpuInvalidCall;
    return container_->UnlockLevel(face_, level_);
}

GpuSurface* GpuDevice::CreateRenderTarget(std::uint32_t width, std::uint32_t height, GpuFormat format,
                                          std::uint32_t multiSample) {
    Count(GpuCall::CreateRenderTarget);
    const TextureFormat gl = GlFormatOf(format);
    if (width == 0 || height == 0 || gl.internalFormat == 0) return nullptr;
    if (GpuHooks().TakeFailure(GpuCreateKind::RenderTarget)) return nullptr;
    GLuint renderbuffer = 0;
    GL(glGenRenderbuffers(1, &renderbuffer));
    GL(glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer));
    const GLsizei samples = multiSample >= 2 ? static_cast<GLsizei>(multiSample) : 0;
    GL(glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, static_cast<GLenum>(gl.internalFormat),
                                        static_cast<GLsizei>(width), static_cast<GLsizei>(height)));
    GLint actual = 0;
    GL(glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_SAMPLES, &actual));
    GpuSurfaceDesc desc;
    desc.format = format;
    desc.usage = kUsageRenderTarget;
    desc.multiSampleType = samples > 0 ? multiSample : 0;
    desc.width = width;
    desc.height = height;
    return new GpuSurface(this, desc, renderbuffer, actual);
}

GpuSurface* GpuDevice::CreateDepthStencilSurface(std::uint32_t width, std::uint32_t height, GpuFormat format,
                                                 std::uint32_t multiSample) {
    Count(GpuCall::CreateDepthStencilSurface);
    if (width == 0 || height == 0) return nullptr;
    if (format != kFmtD24S8 && format != kFmtD24X8 && format != kFmtD16) return nullptr;
    if (GpuHooks().TakeFailure(GpuCreateKind::DepthStencil)) return nullptr;
    GLuint renderbuffer = 0;
    GL(glGenRenderbuffers(1, &renderbuffer));
    GL(glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer));
    const GLsizei samples = multiSample >= 2 ? static_cast<GLsizei>(multiSample) : 0;
    GL(glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH24_STENCIL8, static_cast<GLsizei>(width),
                                        static_cast<GLsizei>(height)));
    GLint actual = 0;
    GL(glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_SAMPLES, &actual));
    GpuSurfaceDesc desc;
    desc.format = format;
    desc.usage = kUsageDepthStencil;
    desc.multiSampleType = samples > 0 ? multiSample : 0;
    desc.width = width;
    desc.height = height;
    return new GpuSurface(this, desc, renderbuffer, actual);
}

// ---- textures

GpuBaseTexture::GpuBaseTexture(GpuDevice* device, std::uint32_t faces, std::uint32_t width, std::uint32_t height,
                               std::uint32_t levels, std::uint32_t usage, GpuFormat format, GpuPool pool)
    : GpuResource(device, true),
      faces_(faces),
      width_(width),
      height_(height),
      levels_(levels),
      usage_(usage),
      format_(format),
      pool_(pool),
      levelData_(static_cast<std::size_t>(faces) * levels) {
    if ((usage & kUsageRenderTarget) != 0) return;
    for (std::uint32_t face = 0; face < faces; ++face) {
        for (std::uint32_t level = 0; level < levels; ++level) {
            levelData_[face * levels + level].pixels.resize(
                GpuLevelBytes(format, LevelWidth(level), LevelHeight(level)));
        }
    }
}

GpuBaseTexture::~GpuBaseTexture() = default;

std::uint32_t GpuBaseTexture::LevelWidth(std::uint32_t level) const { return std::max(1u, width_ >> level); }
std::uint32_t GpuBaseTexture::LevelHeight(std::uint32_t level) const { return std::max(1u, height_ >> level); }

GpuBaseTexture::Level* GpuBaseTexture::FindLevel(std::uint32_t face, std::uint32_t level) {
    if (face >= faces_ || level >= levels_) return nullptr;
    return &levelData_[face * levels_ + level];
}

bool GpuBaseTexture::CreateGl() {
    const TextureFormat gl = GlFormatOf(format_);
    const GLenum target = IsCube() ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D;
    GL(glGenTextures(1, &name_));
    device_->BindTextureForUpload(target, name_);
    GL(glTexParameteri(target, GL_TEXTURE_BASE_LEVEL, 0));
    // Without this a texture with fewer levels than the full chain is incomplete under a mip filter.
    GL(glTexParameteri(target, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels_ - 1)));
    if (format_ == kFmtX8R8G8B8) GL(glTexParameteri(target, GL_TEXTURE_SWIZZLE_A, GL_ONE));
    for (std::uint32_t face = 0; face < faces_; ++face) {
        const GLenum faceTarget = IsCube() ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + face : GL_TEXTURE_2D;
        for (std::uint32_t level = 0; level < levels_; ++level) {
            if (GpuFormatBlockBytes(format_) != 0) {
                // Compressed levels start from their zero-filled copies.
                const Level& data = levelData_[face * levels_ + level];
                GL(glCompressedTexImage2D(faceTarget, static_cast<GLint>(level), static_cast<GLenum>(gl.internalFormat),
                                          static_cast<GLsizei>(LevelWidth(level)),
                                          static_cast<GLsizei>(LevelHeight(level)), 0,
                                          static_cast<GLsizei>(data.pixels.size()), data.pixels.data()));
                continue;
            }
            GL(glTexImage2D(faceTarget, static_cast<GLint>(level), gl.internalFormat,
                            static_cast<GLsizei>(LevelWidth(level)), static_cast<GLsizei>(LevelHeight(level)), 0,
                            gl.format, gl.type, nullptr));
        }
    }
    device_->RestoreTextureUnitZero();
    return name_ != 0;
}

void GpuBaseTexture::DeleteGl() {
    if (name_ != 0) GL(glDeleteTextures(1, &name_));
    name_ = 0;
}

GpuResult GpuBaseTexture::GetLevelDesc(std::uint32_t level, GpuSurfaceDesc& desc) const {
    if (level >= levels_) return kGpuInvalidCall;
    desc = GpuSurfaceDesc();
    desc.format = format_;
    desc.usage = usage_;
    desc.pool = pool_;
    desc.width = LevelWidth(level);
    desc.height = LevelHeight(level);
    return kGpuOk;
}

GpuSurface* GpuBaseTexture::LevelSurface(std::uint32_t face, std::uint32_t level) {
    Level* data = FindLevel(face, level);
    if (data == nullptr) return nullptr;
    if (!data->surface) {
        GpuSurfaceDesc desc;
        GetLevelDesc(level, desc);
        data->surface.reset(new GpuSurface(this, face, level, desc));
    }
    data->surface->AddRef();
    return data->surface.get();
}

GpuResult GpuBaseTexture::LockLevel(std::uint32_t face, std::uint32_t level, GpuLockedRect& locked,
                                    const GpuRect* rect, std::uint32_t flags) {
    Level* data = FindLevel(face, level);
    if (data == nullptr || data->pixels.empty() || data->locked) return kGpuInvalidCall;
    const GpuRect whole = {0, 0, static_cast<std::int32_t>(LevelWidth(level)),
                           static_cast<std::int32_t>(LevelHeight(level))};
    const GpuRect area = rect != nullptr ? *rect : whole;
    if (area.left < 0 || area.top < 0 || area.right > whole.right || area.bottom > whole.bottom ||
        area.left >= area.right || area.top >= area.bottom) {
        return kGpuInvalidCall;
    }
    if (GpuFormatBlockBytes(format_) != 0) {
        // Block levels lock whole: rows of blocks.
        if (rect != nullptr && (area.left != 0 || area.top != 0 || area.right != whole.right ||
                                area.bottom != whole.bottom)) {
            return kGpuInvalidCall;
        }
        locked.pitch = static_cast<std::int32_t>(GpuRowBytes(format_, LevelWidth(level)));
        locked.bits = data->pixels.data();
        data->locked = true;
        data->lockedRect = area;
        data->readOnly = (flags & kLockReadOnly) != 0;
        return kGpuOk;
    }
    const int bytes = GpuFormatBytes(format_);
    locked.pitch = whole.right * bytes;
    locked.bits = data->pixels.data() + static_cast<std::size_t>(area.top) * locked.pitch +
                  static_cast<std::size_t>(area.left) * bytes;
    data->locked = true;
    data->lockedRect = area;
    data->readOnly = (flags & kLockReadOnly) != 0;
    return kGpuOk;
}

GpuResult GpuBaseTexture::UnlockLevel(std::uint32_t face, std::uint32_t level) {
    Level* data = FindLevel(face, level);
    if (data == nullptr || !data->locked) return kGpuInvalidCall;
    data->locked = false;
    if (data->readOnly || device_ == nullptr) return kGpuOk;
    const TextureFormat gl = GlFormatOf(format_);
    const GpuRect& area = data->lockedRect;
    const int bytes = GpuFormatBytes(format_);
    const GLenum target = IsCube() ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_2D;
    const GLenum faceTarget = IsCube() ? GL_TEXTURE_CUBE_MAP_POSITIVE_X + face : GL_TEXTURE_2D;
    device_->BindTextureForUpload(target, name_);
    if (GpuFormatBlockBytes(format_) != 0) {
        GL(glCompressedTexSubImage2D(faceTarget, static_cast<GLint>(level), 0, 0,
                                     static_cast<GLsizei>(LevelWidth(level)), static_cast<GLsizei>(LevelHeight(level)),
                                     static_cast<GLenum>(gl.internalFormat), static_cast<GLsizei>(data->pixels.size()),
                                     data->pixels.data()));
        device_->RestoreTextureUnitZero();
        return kGpuOk;
    }
    GL(glPixelStorei(GL_UNPACK_ALIGNMENT, 1));
    GL(glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(LevelWidth(level))));
    const std::uint8_t* first = data->pixels.data() +
                                (static_cast<std::size_t>(area.top) * LevelWidth(level) + area.left) * bytes;
    GL(glTexSubImage2D(faceTarget, static_cast<GLint>(level), area.left, area.top, area.right - area.left,
                       area.bottom - area.top, gl.format, gl.type, first));
    GL(glPixelStorei(GL_UNPACK_ROW_LENGTH, 0));
    device_->RestoreTextureUnitZero();
    return kGpuOk;
}

GpuSurface* GpuTexture::GetSurfaceLevel(std::uint32_t level) { return LevelSurface(0, level); }

GpuResult GpuTexture::LockRect(std::uint32_t level, GpuLockedRect& locked, const GpuRect* rect,
                               std::uint32_t flags) {
    return LockLevel(0, level, locked, rect, flags);
}

GpuResult GpuTexture::UnlockRect(std::uint32_t level) { return UnlockLevel(0, level); }

GpuSurface* GpuCubeTexture::GetCubeMapSurface(GpuCubeFace face, std::uint32_t level) {
    return LevelSurface(face, level);
}

GpuResult GpuCubeTexture::LockRect(GpuCubeFace face, std::uint32_t level, GpuLockedRect& locked,
                                   const GpuRect* rect, std::uint32_t flags) {
    return LockLevel(face, level, locked, rect, flags);
}

GpuResult GpuCubeTexture::UnlockRect(GpuCubeFace face, std::uint32_t level) { return UnlockLevel(face, level); }

void GpuDevice::BindTextureForUpload(std::uint32_t target, std::uint32_t name) {
    GL(glActiveTexture(GL_TEXTURE0));
    GL(glBindTexture(target, name));
}

void GpuDevice::RestoreTextureUnitZero() {
    const GpuBaseTexture* texture = textures_[0];
    const bool cube = texture != nullptr && texture->IsCube();
    GL(glActiveTexture(GL_TEXTURE0));
    GL(glBindTexture(GL_TEXTURE_2D, texture != nullptr && !cube ? texture->name_ : 0));
    GL(glBindTexture(GL_TEXTURE_CUBE_MAP, cube ? texture->name_ : 0));
}

GpuTexture* GpuDevice::CreateTexture(std::uint32_t width, std::uint32_t height, std::uint32_t levels,
                                     std::uint32_t usage, GpuFormat format, GpuPool pool) {
    Count(GpuCall::CreateTexture);
    if (width == 0 || height == 0 || GlFormatOf(format).internalFormat == 0) return nullptr;
    if (GpuHooks().TakeFailure(GpuCreateKind::Texture)) return nullptr;
    const std::uint32_t chain = FullChain(width, height);
    GpuTexture* texture =
        new GpuTexture(this, 1, width, height, levels == 0 ? chain : std::min(levels, chain), usage, format, pool);
    if (!texture->CreateGl()) {
        texture->Release();
        return nullptr;
    }
    return texture;
}

GpuCubeTexture* GpuDevice::CreateCubeTexture(std::uint32_t edge, std::uint32_t levels, std::uint32_t usage,
                                             GpuFormat format, GpuPool pool) {
    Count(GpuCall::CreateCubeTexture);
    if (edge == 0 || GlFormatOf(format).internalFormat == 0) return nullptr;
    if (GpuHooks().TakeFailure(GpuCreateKind::CubeTexture)) return nullptr;
    const std::uint32_t chain = FullChain(edge, edge);
    GpuCubeTexture* texture =
        new GpuCubeTexture(this, 6, edge, edge, levels == 0 ? chain : std::min(levels, chain), usage, format, pool);
    if (!texture->CreateGl()) {
        texture->Release();
        return nullptr;
    }
    return texture;
}

// ---- buffers

GpuBuffer::GpuBuffer(GpuDevice* device, std::uint32_t length, std::uint32_t usage, GpuPool pool)
    : GpuResource(device, true), length_(length), usage_(usage), pool_(pool) {
    if (!Dynamic()) copy_.resize(length);
}

bool GpuBuffer::CreateGl() {
    GL(glGenBuffers(1, &name_));
    GL(glBindBuffer(GL_COPY_WRITE_BUFFER, name_));
    GL(glBufferData(GL_COPY_WRITE_BUFFER, length_, nullptr, Dynamic() ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW));
    return name_ != 0;
}

void GpuBuffer::DeleteGl() {
    if (mapped_) {
        GL(glBindBuffer(GL_COPY_WRITE_BUFFER, name_));
        GL(glUnmapBuffer(GL_COPY_WRITE_BUFFER));
        mapped_ = false;
    }
    if (name_ != 0) GL(glDeleteBuffers(1, &name_));
    name_ = 0;
}

GpuResult GpuBuffer::Lock(std::uint32_t offset, std::uint32_t size, void** data, std::uint32_t flags) {
    if (data == nullptr) return kGpuInvalidCall;
    *data = nullptr;
    if (locked_ || device_ == nullptr) return kGpuInvalidCall;
    if (size == 0 && offset < length_) size = length_ - offset;
    if (size == 0 || offset > length_ || size > length_ - offset) return kGpuInvalidCall;
    if (Dynamic()) {
        // DISCARD: fresh storage, the GPU may go on reading the old. NOOVERWRITE: the caller writes only where
        // no pending draw reads, so there is nothing to wait for.
        GLbitfield access = GL_MAP_WRITE_BIT;
        if ((flags & kLockDiscard) != 0) {
            access |= GL_MAP_INVALIDATE_BUFFER_BIT;
        } else if ((flags & kLockNoOverwrite) != 0) {
            access |= GL_MAP_UNSYNCHRONIZED_BIT;
        }
        GL(glBindBuffer(GL_COPY_WRITE_BUFFER, name_));
        *data = GL(glMapBufferRange(GL_COPY_WRITE_BUFFER, offset, size, access));
        if (*data == nullptr) return kGpuInvalidCall;
        mapped_ = true;
    } else {
        *data = copy_.data() + offset;
    }
    locked_ = true;
    lockOffset_ = offset;
    lockSize_ = size;
    return kGpuOk;
}

GpuResult GpuBuffer::Unlock() {
    if (!locked_) return kGpuInvalidCall;
    locked_ = false;
    if (device_ == nullptr) return kGpuOk;
    GL(glBindBuffer(GL_COPY_WRITE_BUFFER, name_));
    if (mapped_) {
        GL(glUnmapBuffer(GL_COPY_WRITE_BUFFER));
        mapped_ = false;
    } else {
        GL(glBufferSubData(GL_COPY_WRITE_BUFFER, lockOffset_, lockSize_, copy_.data() + lockOffset_));
    }
    return kGpuOk;
}

GpuVertexBuffer* GpuDevice::CreateVertexBuffer(std::uint32_t length, std::uint32_t usage, GpuPool pool) {
    Count(GpuCall::CreateVertexBuffer);
    if (length == 0 || GpuHooks().TakeFailure(GpuCreateKind::VertexBuffer)) return nullptr;
    GpuVertexBuffer* buffer = new GpuVertexBuffer(this, length, usage, pool);
    if (!buffer->CreateGl()) {
        buffer->Release();
        return nullptr;
    }
    return buffer;
}

GpuIndexBuffer* GpuDevice::CreateIndexBuffer(std::uint32_t length, std::uint32_t usage, GpuFormat format,
                                             GpuPool pool) {
    Count(GpuCall::CreateIndexBuffer);
    if (length == 0 || format != kFmtIndex16 || GpuHooks().TakeFailure(GpuCreateKind::IndexBuffer)) return nullptr;
    GpuIndexBuffer* buffer = new GpuIndexBuffer(this, length, usage, pool);
    if (!buffer->CreateGl()) {
        buffer->Release();
        return nullptr;
    }
    return buffer;
}

}  // namespace sys
