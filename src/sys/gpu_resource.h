#pragma once
// Objects a GpuDevice creates: reference-counted like the device objects they stand in for. Creation hands
// out one reference; Release drops one and destroys the object with the last. The device holds a reference
// to everything bound to it, so a bound object lives until it is unbound.
//
// An object that outlives its device keeps its memory but loses its GL names: the device deletes them while
// its context is still current.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "sys/gpu_types.h"
#include "sys/spirv_to_glsl.h"

namespace sys {

class GpuDevice;
class GpuBaseTexture;

class GpuResource {
public:
    GpuResource(const GpuResource&) = delete;
    GpuResource& operator=(const GpuResource&) = delete;

    virtual std::uint32_t AddRef();
    // Drops a reference; the object is gone once this returns 0.
    virtual std::uint32_t Release();

protected:
    // A tracked object is listed by the device until it is destroyed.
    GpuResource(GpuDevice* device, bool tracked);
    virtual ~GpuResource() = default;
    // Deletes the GL names; runs once, with the device's context current.
    virtual void DeleteGl() {}

    GpuDevice* device_;

private:
    friend class GpuDevice;
    void Orphan();

    bool tracked_;
    std::uint32_t refs_ = 1;
};

// A colour or depth-stencil surface: a render buffer of its own (back buffer, multisampled render target,
// depth-stencil surface), or one level of a texture (one face of a cube texture), which shares the texture's
// reference count.
class GpuSurface final : public GpuResource {
public:
    std::uint32_t AddRef() override;
    std::uint32_t Release() override;

    const GpuSurfaceDesc& GetDesc() const { return desc_; }
    // The texture holding this level, or null for a surface of its own.
    GpuBaseTexture* Container() const { return container_; }
    std::uint32_t Level() const { return level_; }
    std::uint32_t Face() const { return face_; }
    // Texture levels outside the default pool only; forwarded to the texture.
    GpuResult LockRect(GpuLockedRect& locked, const GpuRect* rect, std::uint32_t flags);
    GpuResult UnlockRect();

private:
    friend class GpuDevice;
    friend class GpuBaseTexture;
    GpuSurface(GpuDevice* device, const GpuSurfaceDesc& desc, std::uint32_t renderbuffer, int samples);
    GpuSurface(GpuBaseTexture* container, std::uint32_t face, std::uint32_t level, const GpuSurfaceDesc& desc);
    void DeleteGl() override;

    GpuSurfaceDesc desc_;
    GpuBaseTexture* container_ = nullptr;
    std::uint32_t face_ = 0;
    std::uint32_t level_ = 0;
    std::uint32_t renderbuffer_ = 0;
    int samples_ = 0;  // the samples GL gave the render buffer (0 for none)
};

// A 2D or cube texture with a CPU copy of every level that is not a render target, for LockRect.
class GpuBaseTexture : public GpuResource {
public:
    std::uint32_t GetLevelCount() const { return levels_; }
    GpuResult GetLevelDesc(std::uint32_t level, GpuSurfaceDesc& desc) const;
    bool IsCube() const { return faces_ == 6; }
    GpuFormat Format() const { return format_; }

protected:
    GpuBaseTexture(GpuDevice* device, std::uint32_t faces, std::uint32_t width, std::uint32_t height,
                   std::uint32_t levels, std::uint32_t usage, GpuFormat format, GpuPool pool);
    ~GpuBaseTexture() override;
    GpuSurface* LevelSurface(std::uint32_t face, std::uint32_t level);
    GpuResult LockLevel(std::uint32_t face, std::uint32_t level, GpuLockedRect& locked, const GpuRect* rect,
                        std::uint32_t flags);
    GpuResult UnlockLevel(std::uint32_t face, std::uint32_t level);

private:
    friend class GpuDevice;
    friend class GpuSurface;
    struct Level {
        std::vector<std::uint8_t> pixels;  // rows top first; empty for render targets
        std::unique_ptr<GpuSurface> surface;
        bool locked = false;
        GpuRect lockedRect;
        bool readOnly = false;
    };
    bool CreateGl();
    void DeleteGl() override;
    Level* FindLevel(std::uint32_t face, std::uint32_t level);
    std::uint32_t LevelWidth(std::uint32_t level) const;
    std::uint32_t LevelHeight(std::uint32_t level) const;

    std::uint32_t faces_;
    std::uint32_t width_;
    std::uint32_t height_;
    std::uint32_t levels_;
    std::uint32_t usage_;
    GpuFormat format_;
    GpuPool pool_;
    std::uint32_t name_ = 0;
    std::vector<Level> levelData_;  // face * levels + level
};

class GpuTexture final : public GpuBaseTexture {
public:
    // The level's surface with a reference added (the texture's), or null.
    GpuSurface* GetSurfaceLevel(std::uint32_t level);
    GpuResult LockRect(std::uint32_t level, GpuLockedRect& locked, const GpuRect* rect, std::uint32_t flags);
    GpuResult UnlockRect(std::uint32_t level);

private:
    friend class GpuDevice;
    using GpuBaseTexture::GpuBaseTexture;
};

class GpuCubeTexture final : public GpuBaseTexture {
public:
    GpuSurface* GetCubeMapSurface(GpuCubeFace face, std::uint32_t level);
    GpuResult LockRect(GpuCubeFace face, std::uint32_t level, GpuLockedRect& locked, const GpuRect* rect,
                       std::uint32_t flags);
    GpuResult UnlockRect(GpuCubeFace face, std::uint32_t level);

private:
    friend class GpuDevice;
    using GpuBaseTexture::GpuBaseTexture;
};

// Vertex or index data in a GL buffer. Dynamic buffers map the GL buffer on Lock (DISCARD orphans its storage,
// NOOVERWRITE writes without waiting for the GPU); other buffers keep a CPU copy that Unlock uploads.
class GpuBuffer : public GpuResource {
public:
    GpuResult Lock(std::uint32_t offset, std::uint32_t size, void** data, std::uint32_t flags);
    GpuResult Unlock();
    std::uint32_t Length() const { return length_; }
    std::uint32_t Usage() const { return usage_; }
    bool IsLocked() const { return locked_; }

protected:
    GpuBuffer(GpuDevice* device, std::uint32_t length, std::uint32_t usage, GpuPool pool);

private:
    friend class GpuDevice;
    bool CreateGl();
    void DeleteGl() override;
    bool Dynamic() const { return (usage_ & kUsageDynamic) != 0; }

    std::uint32_t length_;
    std::uint32_t usage_;
    GpuPool pool_;
    std::uint32_t name_ = 0;
    std::vector<std::uint8_t> copy_;  // non-dynamic buffers
    bool locked_ = false;
    bool mapped_ = false;
    std::uint32_t lockOffset_ = 0;
    std::uint32_t lockSize_ = 0;
};

class GpuVertexBuffer final : public GpuBuffer {
private:
    friend class GpuDevice;
    using GpuBuffer::GpuBuffer;
};

// 16-bit indices.
class GpuIndexBuffer final : public GpuBuffer {
private:
    friend class GpuDevice;
    using GpuBuffer::GpuBuffer;
};

class GpuVertexDeclaration final : public GpuResource {
public:
    std::span<const GpuVertexElement> Elements() const { return elements_; }

private:
    friend class GpuDevice;
    GpuVertexDeclaration(GpuDevice* device, std::span<const GpuVertexElement> elements);

    std::vector<GpuVertexElement> elements_;
    std::vector<int> locations_;  // attribute location per element, -1 when no shader input can read it
};

// A translated shader; programs are linked per vertex and pixel pair at the pair's first draw.
class GpuShader : public GpuResource {
public:
    const GlslShader& Glsl() const { return glsl_; }
    ShaderStage Stage() const { return glsl_.reflection.stage; }

protected:
    GpuShader(GpuDevice* device, GlslShader glsl);

private:
    friend class GpuDevice;
    void DeleteGl() override;
    GlslShader glsl_;
};

class GpuVertexShader final : public GpuShader {
private:
    friend class GpuDevice;
    using GpuShader::GpuShader;
};

class GpuPixelShader final : public GpuShader {
private:
    friend class GpuDevice;
    using GpuShader::GpuShader;
};

}  // namespace sys
