#include "engine/image/mip_filter.h"

#include <algorithm>

#include "engine/image/pixel_format.h"

namespace engine {

namespace {

std::uint8_t* PixelAt(const MipLevelView& level, std::uint32_t x, std::uint32_t y, int bytes) {
    return level.bits + static_cast<std::size_t>(y) * level.pitch + static_cast<std::size_t>(x) * bytes;
}

void BoxFilter(const MipLevelView& source, const MipLevelView& destination, int code, std::uint32_t rx,
               std::uint32_t ry) {
    const int bytes = BytesPerPixel(code);
    const std::uint64_t n = std::uint64_t{rx} * ry;
    for (std::uint32_t y = 0; y < destination.height; ++y) {
        for (std::uint32_t x = 0; x < destination.width; ++x) {
            std::uint64_t a = 0, r = 0, g = 0, b = 0;
            for (std::uint32_t by = 0; by < ry; ++by) {
                for (std::uint32_t bx = 0; bx < rx; ++bx) {
                    const PixelArgb p = ReadPixel(PixelAt(source, rx * x + bx, ry * y + by, bytes), code);
                    a += p.a;
                    r += p.r;
                    g += p.g;
                    b += p.b;
                }
            }
            auto mean = [n](std::uint64_t sum) { return static_cast<std::uint8_t>((sum + n - 1) / n); };
            WritePixel(mean(a), mean(r), mean(g), mean(b),
                       PixelAt(destination, x, y, bytes), code);
        }
    }
}

void AlphaWeightedFilter(const MipLevelView& source, const MipLevelView& destination, int code, std::uint32_t rx,
                         std::uint32_t ry) {
    const int bytes = BytesPerPixel(code);
    for (std::uint32_t y = 0; y < destination.height; ++y) {
        const std::uint32_t y0 = ry * y;
        const std::uint32_t y1 = std::min(y0 + 1, source.height - 1);
        for (std::uint32_t x = 0; x < destination.width; ++x) {
            const std::uint32_t x0 = rx * x;
            const std::uint32_t x1 = std::min(x0 + 1, source.width - 1);
            const PixelArgb p[4] = {
                ReadPixel(PixelAt(source, x0, y0, bytes), code), ReadPixel(PixelAt(source, x0, y1, bytes), code),
                ReadPixel(PixelAt(source, x1, y0, bytes), code), ReadPixel(PixelAt(source, x1, y1, bytes), code)};
            std::uint32_t alphaSum = 0, r = 0, g = 0, b = 0;
            std::uint8_t alphaMax = 0;
            for (const PixelArgb& q : p) {
                alphaSum += q.a;
                r += std::uint32_t{q.a} * q.r;
                g += std::uint32_t{q.a} * q.g;
                b += std::uint32_t{q.a} * q.b;
                alphaMax = std::max(alphaMax, q.a);
            }
            if (alphaSum == 0) alphaSum = 1;
            WritePixel(alphaMax, static_cast<std::uint8_t>(r / alphaSum), static_cast<std::uint8_t>(g / alphaSum),
                       static_cast<std::uint8_t>(b / alphaSum),
                       PixelAt(destination, x, y, bytes), code);
        }
    }
}

}  // namespace

void FilterMipLevel(const MipLevelView& source, const MipLevelView& destination, int code, int kind) {
    if (code != kPixelFormat8888 && code != kPixelFormat1555 && code != kPixelFormat4444) return;
    if (source.bits == nullptr || destination.bits == nullptr) return;
    if (source.width == 0 || source.height == 0 || destination.width == 0 || destination.height == 0) return;
    // A destination larger than its source is no mip level of it.
    if (destination.width > source.width || destination.height > source.height) return;
    const std::uint32_t rx = source.width / destination.width;
    const std::uint32_t ry = source.height / destination.height;
    if (kind == kMipBox) {
        BoxFilter(source, destination, code, rx, ry);
    } else if (kind == kMipAlphaWeighted) {
        AlphaWeightedFilter(source, destination, code, rx, ry);
    }
}

void GenerateMipLevels(std::span<const MipLevelView> levels, int code, int kind) {
    for (std::size_t i = 1; i < levels.size(); ++i) FilterMipLevel(levels[i - 1], levels[i], code, kind);
}

std::uint32_t FullMipChainLength(std::uint32_t width, std::uint32_t height) {
    std::uint32_t side = std::max(width, height);
    std::uint32_t levels = 1;
    while (side > 1) {
        side >>= 1;
        ++levels;
    }
    return levels;
}

}  // namespace engine
