#include "engine/render/texture.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/image/image.h"
#include "engine/image/mip_filter.h"
#include "engine/image/pixel_format.h"
#include "engine/render/texture_levels.h"
#include "engine/render/texture_table.h"
#include "sys/gpu_device.h"

namespace engine {
namespace {

bool IsPowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

void ReleaseGpu(auto*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

// Fills levels 1.. of one face from level 0 with the filter of the mip kind.
void FilterLevels(sys::GpuBaseTexture& texture, std::uint32_t face, int mipKind) {
    const std::uint32_t levels = texture.GetLevelCount();
    if (levels < 2) return;
    std::vector<MipLevelView> views;
    for (std::uint32_t level = 0; level < levels; ++level) {
        sys::GpuLockedRect locked;
        if (sys::GpuFailed(LockTextureLevel(texture, face, level, locked, 0))) break;
        sys::GpuSurfaceDesc desc;
        texture.GetLevelDesc(level, desc);
        views.push_back({static_cast<std::uint8_t*>(locked.bits), desc.width, desc.height,
                         static_cast<std::size_t>(locked.pitch)});
    }
    GenerateMipLevels(views, kPixelFormat8888, mipKind);
    for (std::uint32_t level = 0; level < views.size(); ++level) UnlockTextureLevel(texture, face, level);
}

// Copies image rows into level 0 of a face: `rows` rows of `columns` texels from image texel (x, y) to
// texture texel (x, y).
bool CopyImageRows(sys::GpuBaseTexture& texture, std::uint32_t face, const Image& image, int x, int y, int columns,
                   int rows) {
    sys::GpuLockedRect locked;
    const sys::GpuRect area = {x, y, x + columns, y + rows};
    if (sys::GpuFailed(LockTextureLevel(texture, face, 0, locked, &area))) return false;
    const std::uint8_t* source = image.Pixels() + static_cast<std::size_t>(y) * image.Pitch() + std::size_t(x) * 4;
    CopyPixelRows(source, static_cast<std::uint32_t>(columns), static_cast<std::uint8_t*>(locked.bits),
                  static_cast<std::size_t>(locked.pitch), image.Pitch(), static_cast<std::uint32_t>(rows));
    UnlockTextureLevel(texture, face, 0);
    return true;
}

}  // namespace

TextureBase::TextureBase(const WideString& textureName)
    : group(TextureTable::CurrentGroup()), handle(TextureTable::FirstFreeHandle()) {
    name.Assign(textureName);
}

Texture::Texture(const WideString& textureName) : TextureBase(textureName) {
    TextureTable::Store(handle, this);
}

Texture::~Texture() {
    ReleaseGpu(texture);
    ReleaseGpu(cubeTexture);
    TextureTable::Empty(handle, this);
}

int Texture::CreateFromImage(const Image& image, int mipKind) {
    flags = 0;
    sys::GpuDevice* device = TextureTable::Device();
    if (device == nullptr || image.Width() == 0 || image.Height() == 0 || image.Pixels() == nullptr) {
        return kTextureCreateFailed;
    }
    const bool chain = mipKind != kMipNone && IsPowerOfTwo(image.Width()) && IsPowerOfTwo(image.Height());
    const sys::GpuFormat gpuFormat = image.GetAlphaKind() != kAlphaOpaque ? sys::kFmtA8R8G8B8 : sys::kFmtX8R8G8B8;
    sys::GpuTexture* made = device->CreateTexture(image.Width(), image.Height(), chain ? 0 : 1, 0, gpuFormat,
                                                  sys::kPoolManaged);
    if (made == nullptr) return kTextureCreateFailed;
    if (!CopyImageRows(*made, 0, image, 0, 0, static_cast<int>(image.Width()), static_cast<int>(image.Height()))) {
        made->Release();
        return kTextureCreateFailed;
    }
    ReleaseGpu(texture);
    ReleaseGpu(cubeTexture);
    texture = made;
    format = kPixelFormat8888;
    bytesPerPixel = 4;
    if (mipKind != kMipNone) FilterLevels(*made, 0, mipKind);
    width = image.Width();
    height = image.Height();
    widthF = static_cast<float>(width);
    heightF = static_cast<float>(height);
    alphaKind = image.GetAlphaKind();
    name.Assign(image.Name());
    return kTextureCreated;
}

int Texture::UpdateFromImage(const Image& image, const IntRect* rect) {
    if (texture == nullptr || image.Pixels() == nullptr) return 0;
    // The area is clipped to the texture and to the image, so rows are never read or written outside either.
    long long left = 0;
    long long top = 0;
    long long right = width;
    long long bottom = height;
    if (rect != nullptr) {
        left = std::max<long long>(rect->x, 0);
        top = std::max<long long>(rect->y, 0);
        right = std::min<long long>(static_cast<long long>(rect->x) + rect->width, width);
        bottom = std::min<long long>(static_cast<long long>(rect->y) + rect->height, height);
    }
    right = std::min<long long>(right, image.Width());
    bottom = std::min<long long>(bottom, image.Height());
    if (left >= right || top >= bottom) return 0;
    return CopyImageRows(*texture, 0, image, static_cast<int>(left), static_cast<int>(top),
                         static_cast<int>(right - left), static_cast<int>(bottom - top))
               ? 1
               : 0;
}

int Texture::CreateCubeFromImages(const Image* const* images, int withMips) {
    sys::GpuDevice* device = TextureTable::Device();
    if (device == nullptr || images == nullptr) return 0;
    const std::uint32_t edge = images[0] != nullptr ? images[0]->Width() : 0;
    if (edge == 0) return 0;
    // Faces of another size would be read past their ends.
    for (int face = 0; face < 6; ++face) {
        const Image* image = images[face];
        if (image == nullptr || image->Width() != edge || image->Height() != edge || image->Pixels() == nullptr) {
            return 0;
        }
    }
    const sys::GpuFormat gpuFormat =
        images[0]->GetAlphaKind() != kAlphaOpaque ? sys::kFmtA8R8G8B8 : sys::kFmtX8R8G8B8;
    sys::GpuCubeTexture* made = device->CreateCubeTexture(edge, withMips != 0 ? 0 : 1, 0, gpuFormat, sys::kPoolManaged);
    if (made == nullptr) return 0;
    for (std::uint32_t face = 0; face < 6; ++face) {
        if (!CopyImageRows(*made, face, *images[face], 0, 0, static_cast<int>(edge), static_cast<int>(edge))) {
            made->Release();
            return 0;
        }
        if (withMips != 0) FilterLevels(*made, face, kMipBox);
    }
    ReleaseGpu(texture);
    ReleaseGpu(cubeTexture);
    cubeTexture = made;
    format = kPixelFormat8888;
    bytesPerPixel = 4;
    width = edge;
    height = edge;
    widthF = static_cast<float>(edge);
    heightF = widthF;
    alphaKind = images[0]->GetAlphaKind();
    name.Assign(images[0]->Name());
    name.StripFaceSuffix();
    flags = kTextureCube;
    return 1;
}

void Texture::CopyToManaged() {
    sys::GpuDevice* device = TextureTable::Device();
    if (device == nullptr || texture == nullptr) return;
    sys::GpuTexture* made = device->CreateTexture(width, height, 1, 0, sys::kFmtA8R8G8B8, sys::kPoolManaged);
    if (made == nullptr) return;
    if (!CopyTextureLevel(*texture, 0, 0, *made, 0, 0)) {
        made->Release();
        return;
    }
    texture->Release();
    texture = made;
    // The copy holds decoded texels whatever the source was made from.
    format = kPixelFormat8888;
    bytesPerPixel = 4;
}

int Texture::CloneViaImage() {
    if (texture == nullptr) return 0;
    Image image;
    if (!image.Create(width, height, name)) return 0;
    image.SetAlphaKind(kAlphaBlended);
    const std::uint32_t levels = texture->GetLevelCount();
    const int copyHandle = TextureTable::CreateFromImage(image, levels > 1 ? kMipBox : kMipNone);
    Texture* copy = TextureTable::Get(copyHandle);
    if (copy == nullptr) return 0;
    ++TextureTable::CopyCounter();
    MakeUniqueName(*copy);
    const std::uint32_t copyLevels = std::min(levels, copy->texture->GetLevelCount());
    for (std::uint32_t level = 0; level < copyLevels; ++level) {
        CopyTextureLevel(*texture, 0, level, *copy->texture, 0, level);
    }
    copy->flags = flags;
    copy->alphaKind = alphaKind;
    copy->widthF = widthF;
    copy->heightF = heightF;
    copy->group = group;
    // The copy holds 32-bit texels, so a DXT source's copy is of format 0.
    copy->format = kPixelFormat8888;
    copy->bytesPerPixel = 4;
    return copyHandle;
}

void Texture::MakeUniqueName(Texture& texture) {
    const int counter = TextureTable::CopyCounter();
    if (counter != 0) {
        texture.name.SetDollarNumber(counter);
        return;
    }
    WideString candidate;
    for (int n = 1; n < TextureTable::Size(); ++n) {
        candidate.Assign(texture.name);
        candidate.SetDollarNumber(n);
        if (TextureTable::FindLoaded(candidate.GetNarrow(), texture.group) == 0) {
            texture.name.Assign(candidate);
            return;
        }
    }
}

void Texture::ReleaseIfDefaultPool(int flag) {
    if (flag == 0) return;
    sys::GpuSurfaceDesc desc;
    if (texture != nullptr && !sys::GpuFailed(texture->GetLevelDesc(0, desc)) && desc.pool == sys::kPoolDefault) {
        ReleaseGpu(texture);
    }
    if (cubeTexture != nullptr && !sys::GpuFailed(cubeTexture->GetLevelDesc(0, desc)) &&
        desc.pool == sys::kPoolDefault) {
        ReleaseGpu(cubeTexture);
    }
}

}  // namespace engine
