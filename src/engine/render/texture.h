#pragma once
// Texture objects: a named picture on the GPU, kept in the texture table under a 1-based handle. A texture
// holds a 2D texture or a cube texture (never both) whose levels live in 32-bit B, G, R, A texels; its
// `format` code says what the picture was made from (DXT files keep 3 or 4 although their blocks are
// decoded on load).
#include <cstdint>

#include "engine/core/int_rect.h"
#include "engine/core/wide_string.h"
#include "engine/image/alpha_kind.h"

namespace sys {
class GpuTexture;
class GpuCubeTexture;
}  // namespace sys

namespace engine {

class Image;

constexpr std::uint32_t kTextureCube = 0x04;
constexpr std::uint32_t kTextureUncompressed = 0x08;  // saved as it is, like a flagged texture
constexpr std::uint32_t kTextureFlagged = 0x10;

// Results of Texture::CreateFromImage.
constexpr int kTextureCreated = 0;
constexpr int kTextureCreateFailed = 5;

// The fields every texture has and its ten operations.
class TextureBase {
public:
    TextureBase(const TextureBase&) = delete;
    TextureBase& operator=(const TextureBase&) = delete;
    virtual ~TextureBase() = default;

    // mipKind: 0 one level; 1 and 2 a full chain (sizes that are powers of two only) filled by the box or
    // the alpha-weighted filter. kTextureCreated or kTextureCreateFailed.
    virtual int CreateFromImage(const Image& image, int mipKind) = 0;
    // Copies the image into level 0: the rectangle's texels (image texel (x, y) to texture texel (x, y)), or
    // the whole level, clipped to both sizes. 1, or 0 when nothing was copied.
    virtual int UpdateFromImage(const Image& image, const IntRect* rect) = 0;
    // Six square faces of one size in the order +X, -X, +Y, -Y, +Z, -Z. Non-zero on success.
    virtual int CreateCubeFromImages(const Image* const* images, int withMips) = 0;
    // Replaces the 2D texture by a one-level A8R8G8B8 copy of level 0.
    virtual void CopyToManaged() = 0;
    // A new texture with every level of this one, renamed "name_$$n"; its handle, or 0.
    virtual int CloneViaImage() = 0;
    virtual int SaveTga() = 0;
    virtual int SavePng() = 0;
    virtual int SaveDds(int compress, int singleLevel) = 0;
    // With a non-zero flag, drops the GPU textures that live in the default pool.
    virtual void ReleaseIfDefaultPool(int flag) = 0;

    WideString name;
    std::uint32_t flags = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    float widthF = 0.0f;
    float heightF = 0.0f;
    int group = 0;
    int format = 0;
    int handle = 0;
    int bytesPerPixel = 0;
    AlphaKind alphaKind = kAlphaOpaque;

protected:
    // Stores the name and takes the current resource group and the first free slot's handle (0 when the
    // table is full).
    explicit TextureBase(const WideString& textureName);
};

class Texture final : public TextureBase {
public:
    // Takes the first free slot; `handle` stays 0 when there is none, and the texture must then be deleted
    // without use.
    explicit Texture(const WideString& textureName);
    ~Texture() override;

    int CreateFromImage(const Image& image, int mipKind) override;
    int UpdateFromImage(const Image& image, const IntRect* rect) override;
    int CreateCubeFromImages(const Image* const* images, int withMips) override;
    void CopyToManaged() override;
    int CloneViaImage() override;
    int SaveTga() override;
    int SavePng() override;
    int SaveDds(int compress, int singleLevel) override;
    void ReleaseIfDefaultPool(int flag) override;

    // Cuts the name at "_$$" and numbers it with the copy counter; with a counter of 0, with the first number
    // whose name no texture of its group has.
    static void MakeUniqueName(Texture& texture);

    sys::GpuTexture* texture = nullptr;
    sys::GpuCubeTexture* cubeTexture = nullptr;
};

}  // namespace engine
