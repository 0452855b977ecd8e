// Textures from DDS files and textures saved as TGA, PNG and DDS files.
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "engine/core/wide_string.h"
#include "engine/platform/data_files.h"
#include "engine/image/dds_file.h"
#include "engine/image/dds_writer.h"
#include "engine/image/image_writers.h"
#include "engine/image/pixel_format.h"
#include "engine/render/texture.h"
#include "engine/render/texture_levels.h"
#include "engine/render/texture_table.h"
#include "sys/gpu_device.h"

namespace engine {
namespace {

constexpr const char* kFaceSuffixes[6] = {"_X", "_NX", "_Y", "_NY", "_Z", "_NZ"};

// Formats whose texels may be transparent keep their alpha; the others read as opaque.
sys::GpuFormat GpuFormatForFile(SurfaceFormat format) {
    return format == SurfaceFormat::kX8R8G8B8 || format == SurfaceFormat::kR5G6B5 ? sys::kFmtX8R8G8B8
                                                                                   : sys::kFmtA8R8G8B8;
}

// A 2D DXT file keeps its blocks on the GPU where the driver takes them; null otherwise (the caller then
// decodes the blocks into 32-bit texels).
sys::GpuBaseTexture* CreateBlockTexture(sys::GpuDevice& device, const DdsImage& dds) {
    if (dds.format != SurfaceFormat::kDxt1 && dds.format != SurfaceFormat::kDxt3) return nullptr;
    const sys::GpuFormat format = dds.format == SurfaceFormat::kDxt1 ? sys::kFmtDxt1 : sys::kFmtDxt3;
    return device.CreateTexture(dds.width, dds.height, dds.levels, 0, format, sys::kPoolManaged);
}

// Copies one file surface into a texture level: blocks as stored, or decoded texels.
bool FillLevel(const DdsImage& dds, std::uint32_t face, std::uint32_t level, sys::GpuBaseTexture& texture) {
    sys::GpuLockedRect locked;
    if (sys::GpuFailed(LockTextureLevel(texture, face, level, locked, nullptr))) return false;
    if (texture.Format() == sys::kFmtDxt1 || texture.Format() == sys::kFmtDxt3) {
        const DdsSurface& surface = dds.Surface(face, level);
        const bool fits = SurfaceLevelBytes(dds.format, surface.width, surface.height) == surface.size &&
                          static_cast<std::size_t>(locked.pitch) == SurfaceRowBytes(dds.format, surface.width);
        if (fits) std::memcpy(locked.bits, surface.data, surface.size);
        UnlockTextureLevel(texture, face, level);
        return fits;
    }
    const bool decoded = DecodeDdsSurface(dds, dds.Surface(face, level), static_cast<std::uint8_t*>(locked.bits),
                                          static_cast<std::size_t>(locked.pitch));
    UnlockTextureLevel(texture, face, level);
    return decoded;
}

SurfaceFormat SurfaceFormatOf(const sys::GpuBaseTexture& texture) {
    return texture.Format() == sys::kFmtX8R8G8B8 ? SurfaceFormat::kX8R8G8B8 : SurfaceFormat::kA8R8G8B8;
}

// Every face and level of a GPU texture in file order, converted to `format`.
bool GatherSurfaces(sys::GpuBaseTexture& texture, std::uint32_t levels, SurfaceFormat format,
                    std::vector<std::vector<std::uint8_t>>& storage, std::vector<ConstSurfaceView>& views) {
    const std::uint32_t faces = texture.IsCube() ? 6 : 1;
    const SurfaceFormat stored = SurfaceFormatOf(texture);
    for (std::uint32_t face = 0; face < faces; ++face) {
        for (std::uint32_t level = 0; level < levels; ++level) {
            std::uint32_t width = 0;
            std::uint32_t height = 0;
            std::vector<std::uint8_t> pixels = ReadTextureLevel(texture, face, level, width, height);
            if (pixels.empty()) return false;
            std::vector<std::uint8_t> converted(SurfaceLevelBytes(format, width, height));
            const SurfaceView to{format, width, height, SurfaceRowBytes(format, width), converted.data()};
            if (!CopySurface(PackedSurface(stored, width, height, pixels.data()), to)) return false;
            storage.push_back(std::move(converted));
            views.push_back(PackedSurface(format, width, height, storage.back().data()));
        }
    }
    return true;
}

bool IsPowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

}  // namespace

int TextureTable::LoadDds(const char* name) {
    sys::GpuDevice* device = Device();
    if (name == nullptr || device == nullptr) return 0;
    const WideString given(name);
    std::size_t size = 0;
    const std::unique_ptr<std::uint8_t[]> file = LoadWholeFile(WideString(given, ".dds"), size);
    if (!file || size == 0) return 0;
    DdsImage dds;
    if (!ParseDds(file.get(), size, dds)) return 0;
    const sys::GpuFormat gpuFormat = GpuFormatForFile(dds.format);
    sys::GpuBaseTexture* made = nullptr;
    std::uint32_t levels = dds.levels;
    if (dds.cube) {
        // A cube loads one level per face.
        levels = 1;
        made = device->CreateCubeTexture(dds.width, 1, 0, gpuFormat, sys::kPoolManaged);
    } else {
        made = CreateBlockTexture(*device, dds);
        if (made == nullptr) {
            made = device->CreateTexture(dds.width, dds.height, dds.levels, 0, gpuFormat, sys::kPoolManaged);
        }
    }
    if (made == nullptr) return 0;
    bool filled = made->GetLevelCount() == levels;
    for (std::uint32_t face = 0; filled && face < dds.faces; ++face) {
        for (std::uint32_t level = 0; filled && level < levels; ++level) filled = FillLevel(dds, face, level, *made);
    }
    auto texture = std::make_unique<Texture>(given);
    if (!filled || texture->handle == 0) {
        made->Release();
        return 0;
    }
    if (dds.cube) {
        texture->cubeTexture = static_cast<sys::GpuCubeTexture*>(made);
        texture->flags = kTextureCube;
    } else {
        texture->texture = static_cast<sys::GpuTexture*>(made);
    }
    texture->width = dds.width;
    texture->height = dds.height;
    texture->widthF = static_cast<float>(dds.width);
    texture->heightF = static_cast<float>(dds.height);
    texture->format = PixelFormatCodeOf(dds.format);
    texture->bytesPerPixel = BytesPerPixel(texture->format);
    texture->alphaKind = dds.alphaKind;
    return texture.release()->handle;
}

int Texture::SaveTga() {
    if (texture != nullptr) {
        std::uint32_t levelWidth = 0;
        std::uint32_t levelHeight = 0;
        const std::vector<std::uint8_t> pixels = ReadTextureLevel(*texture, 0, 0, levelWidth, levelHeight);
        if (pixels.empty()) return 0;
        return SaveTgaFile(WideString(name, ".TGA"),
                           PackedSurface(SurfaceFormatOf(*texture), levelWidth, levelHeight, pixels.data()));
    }
    if (cubeTexture == nullptr) return 0;
    for (std::uint32_t face = 0; face < 6; ++face) {
        std::uint32_t edgeWidth = 0;
        std::uint32_t edgeHeight = 0;
        const std::vector<std::uint8_t> pixels = ReadTextureLevel(*cubeTexture, face, 0, edgeWidth, edgeHeight);
        if (pixels.empty()) return 0;
        const WideString path(WideString(name, kFaceSuffixes[face]), ".TGA");
        // Faces are written opaque.
        if (SaveTgaFile(path, PackedSurface(SurfaceFormat::kX8R8G8B8, edgeWidth, edgeHeight, pixels.data())) != 1) {
            return 0;
        }
    }
    return 1;
}

int Texture::SavePng() {
    if (texture == nullptr) return 0;
    std::uint32_t levelWidth = 0;
    std::uint32_t levelHeight = 0;
    const std::vector<std::uint8_t> pixels = ReadTextureLevel(*texture, 0, 0, levelWidth, levelHeight);
    if (pixels.empty()) return 0;
    const WideString path = name.HasPathSeparator() ? WideString(name, ".PNG")
                                                    : WideString(WideString(WideString("Common/"), name), ".PNG");
    return SavePngFile(path, PackedSurface(SurfaceFormatOf(*texture), levelWidth, levelHeight, pixels.data()));
}

int Texture::SaveDds(int compress, int singleLevel) {
    sys::GpuBaseTexture* source = texture != nullptr ? static_cast<sys::GpuBaseTexture*>(texture) : cubeTexture;
    if (source == nullptr) return 0;
    const bool cube = source->IsCube();
    WideString base(name);
    if (cube) base.StripFaceSuffix();
    const WideString path(base, ".DDS");
    std::vector<std::vector<std::uint8_t>> storage;
    std::vector<ConstSurfaceView> views;
    if ((flags & (kTextureUncompressed | kTextureFlagged)) != 0 || compress == 0) {
        const SurfaceFormat stored = SurfaceFormatOf(*source);
        const std::uint32_t levels = source->GetLevelCount();
        if (!GatherSurfaces(*source, levels, stored, storage, views)) return 0;
        const std::vector<std::uint8_t> file = EncodeDds(stored, width, height, levels, cube, views);
        return !file.empty() && SaveDataFile(path, file.data(), file.size()) == 1 ? 1 : 0;
    }
    std::uint32_t levels = cube ? 1 : source->GetLevelCount();
    if (singleLevel != 0 || !IsPowerOfTwo(width) || !IsPowerOfTwo(height)) levels = 1;
    const SurfaceFormat packed = alphaKind != kAlphaOpaque ? SurfaceFormat::kDxt3 : SurfaceFormat::kDxt1;
    if (!GatherSurfaces(*source, levels, packed, storage, views)) return 0;
    std::vector<std::uint8_t> file = EncodeDds(packed, width, height, levels, cube, views);
    if (file.empty()) return 0;
    AppendDdsTrailer(file, alphaKind);
    return SaveDataFile(path, file.data(), file.size()) == 1 ? 1 : 0;
}

}  // namespace engine
