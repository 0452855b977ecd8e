#include "engine/image/dxt_codec.h"

#include <algorithm>
#include <cstring>

namespace engine {

namespace {

unsigned LoadU16(const std::uint8_t* p) { return p[0] | (p[1] << 8u); }

// Expands a 5:6:5 colour into B, G, R bytes.
void Expand565(unsigned c, std::uint8_t* bgr) {
    const unsigned r = (c >> 11) & 0x1Fu, g = (c >> 5) & 0x3Fu, b = c & 0x1Fu;
    bgr[0] = static_cast<std::uint8_t>((b << 3) | (b >> 2));
    bgr[1] = static_cast<std::uint8_t>((g << 2) | (g >> 4));
    bgr[2] = static_cast<std::uint8_t>((r << 3) | (r >> 2));
}

// The colour half of a block (8 bytes) into 16 texels; alpha 255 except the transparent entry.
void DecodeColours(const std::uint8_t* block, bool allowThreeColour, std::uint8_t* texels) {
    const unsigned c0 = LoadU16(block), c1 = LoadU16(block + 2);
    std::uint8_t palette[4][4];
    Expand565(c0, palette[0]);
    Expand565(c1, palette[1]);
    palette[0][3] = palette[1][3] = 255;
    palette[2][3] = palette[3][3] = 255;
    if (c0 > c1 || !allowThreeColour) {
        for (int ch = 0; ch < 3; ++ch) {
            palette[2][ch] = static_cast<std::uint8_t>((2 * palette[0][ch] + palette[1][ch]) / 3);
            palette[3][ch] = static_cast<std::uint8_t>((palette[0][ch] + 2 * palette[1][ch]) / 3);
        }
    } else {
        for (int ch = 0; ch < 3; ++ch) {
            palette[2][ch] = static_cast<std::uint8_t>((palette[0][ch] + palette[1][ch]) / 2);
        }
        std::memset(palette[3], 0, 4);
    }
    const std::uint32_t indices = block[4] | (block[5] << 8u) | (block[6] << 16u) | (std::uint32_t{block[7]} << 24);
    for (int i = 0; i < 16; ++i) std::memcpy(texels + i * 4, palette[(indices >> (2 * i)) & 3u], 4);
}

}  // namespace

void DecodeDxt1Block(const std::uint8_t* block, std::uint8_t* texels) { DecodeColours(block, true, texels); }

void DecodeDxt3Block(const std::uint8_t* block, std::uint8_t* texels) {
    DecodeColours(block + 8, false, texels);
    for (int i = 0; i < 16; ++i) {
        const unsigned nibble = (block[i / 2] >> (4 * (i & 1))) & 0xFu;
        texels[i * 4 + 3] = static_cast<std::uint8_t>(nibble * 17);
    }
}

bool DecodeDxtBlocks(SurfaceFormat format, const std::uint8_t* blocks, std::size_t blockPitch, std::uint32_t width,
                     std::uint32_t height, std::uint8_t* pixels, std::size_t pitch) {
    const int blockBytes = SurfaceBlockBytes(format);
    if (blockBytes == 0 || width == 0 || height == 0 || blocks == nullptr || pixels == nullptr) return false;
    std::uint8_t texels[64];
    for (std::uint32_t by = 0; by < height; by += 4) {
        const std::uint8_t* block = blocks + std::size_t{by / 4} * blockPitch;
        for (std::uint32_t bx = 0; bx < width; bx += 4, block += blockBytes) {
            if (format == SurfaceFormat::kDxt1) {
                DecodeDxt1Block(block, texels);
            } else {
                DecodeDxt3Block(block, texels);
            }
            const std::uint32_t w = std::min(4u, width - bx), h = std::min(4u, height - by);
            for (std::uint32_t y = 0; y < h; ++y) {
                std::memcpy(pixels + (by + y) * pitch + std::size_t{bx} * 4, texels + y * 16, std::size_t{w} * 4);
            }
        }
    }
    return true;
}

bool EncodeDxtBlocks(SurfaceFormat format, const std::uint8_t* pixels, std::size_t pitch, std::uint32_t width,
                     std::uint32_t height, std::uint8_t* blocks, std::size_t blockPitch) {
    const int blockBytes = SurfaceBlockBytes(format);
    if (blockBytes == 0 || width == 0 || height == 0 || blocks == nullptr || pixels == nullptr) return false;
    std::uint8_t texels[64];
    for (std::uint32_t by = 0; by < height; by += 4) {
        std::uint8_t* block = blocks + std::size_t{by / 4} * blockPitch;
        for (std::uint32_t bx = 0; bx < width; bx += 4, block += blockBytes) {
            for (std::uint32_t y = 0; y < 4; ++y) {
                const std::uint32_t sy = std::min(by + y, height - 1);
                for (std::uint32_t x = 0; x < 4; ++x) {
                    const std::uint32_t sx = std::min(bx + x, width - 1);
                    std::memcpy(texels + (y * 4 + x) * 4, pixels + sy * pitch + std::size_t{sx} * 4, 4);
                }
            }
            if (format == SurfaceFormat::kDxt1) {
                EncodeDxt1Block(texels, block);
            } else {
                EncodeDxt3Block(texels, block);
            }
        }
    }
    return true;
}

}  // namespace engine
