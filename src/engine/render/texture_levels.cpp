#include "engine/render/texture_levels.h"

#include <algorithm>
#include <cstring>

#include "engine/image/dxt_codec.h"
#include "engine/image/pixel_format.h"

namespace engine {

sys::GpuResult LockTextureLevel(sys::GpuBaseTexture& texture, std::uint32_t face, std::uint32_t level,
                                sys::GpuLockedRect& locked, const sys::GpuRect* rect, std::uint32_t flags) {
    if (texture.IsCube()) {
        return static_cast<sys::GpuCubeTexture&>(texture).LockRect(static_cast<sys::GpuCubeFace>(face), level, locked,
                                                                  rect, flags);
    }
    if (face != 0) return sys::kGpuInvalidCall;
    return static_cast<sys::GpuTexture&>(texture).LockRect(level, locked, rect, flags);
}

sys::GpuResult UnlockTextureLevel(sys::GpuBaseTexture& texture, std::uint32_t face, std::uint32_t level) {
    if (texture.IsCube()) {
        return static_cast<sys::GpuCubeTexture&>(texture).UnlockRect(static_cast<sys::GpuCubeFace>(face), level);
    }
    return static_cast<sys::GpuTexture&>(texture).UnlockRect(level);
}

bool CopyTextureLevel(sys::GpuBaseTexture& source, std::uint32_t sourceFace, std::uint32_t sourceLevel,
                      sys::GpuBaseTexture& destination, std::uint32_t destinationFace, std::uint32_t destinationLevel) {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    const std::vector<std::uint8_t> texels = ReadTextureLevel(source, sourceFace, sourceLevel, width, height);
    sys::GpuSurfaceDesc to;
    if (texels.empty() || sys::GpuFailed(destination.GetLevelDesc(destinationLevel, to))) return false;
    sys::GpuLockedRect write;
    if (sys::GpuFailed(LockTextureLevel(destination, destinationFace, destinationLevel, write, nullptr))) return false;
    const std::uint32_t columns = std::min(width, to.width);
    const std::uint32_t rows = std::min(height, to.height);
    for (std::uint32_t y = 0; y < rows; ++y) {
        std::memcpy(static_cast<std::uint8_t*>(write.bits) + static_cast<std::size_t>(y) * write.pitch,
                    texels.data() + std::size_t{y} * width * 4, std::size_t{columns} * 4);
    }
    UnlockTextureLevel(destination, destinationFace, destinationLevel);
    return true;
}

std::vector<std::uint8_t> ReadTextureLevel(sys::GpuBaseTexture& texture, std::uint32_t face, std::uint32_t level,
                                           std::uint32_t& width, std::uint32_t& height) {
    sys::GpuSurfaceDesc desc;
    sys::GpuLockedRect read;
    if (sys::GpuFailed(texture.GetLevelDesc(level, desc)) ||
        sys::GpuFailed(LockTextureLevel(texture, face, level, read, nullptr, sys::kLockReadOnly))) {
        return {};
    }
    width = desc.width;
    height = desc.height;
    std::vector<std::uint8_t> pixels(std::size_t{width} * height * 4);
    if (desc.format == sys::kFmtDxt1 || desc.format == sys::kFmtDxt3) {
        const SurfaceFormat format = desc.format == sys::kFmtDxt1 ? SurfaceFormat::kDxt1 : SurfaceFormat::kDxt3;
        const bool decoded = DecodeDxtBlocks(format, static_cast<const std::uint8_t*>(read.bits),
                                             static_cast<std::size_t>(read.pitch), width, height, pixels.data(),
                                             std::size_t{width} * 4);
        UnlockTextureLevel(texture, face, level);
        if (!decoded) pixels.clear();
        return pixels;
    }
    for (std::uint32_t y = 0; y < height; ++y) {
        std::memcpy(pixels.data() + std::size_t{y} * width * 4,
                    static_cast<const std::uint8_t*>(read.bits) + static_cast<std::size_t>(y) * read.pitch,
                    std::size_t{width} * 4);
    }
    UnlockTextureLevel(texture, face, level);
    return pixels;
}

}  // namespace engine
