#pragma once
// The DXT1 and DXT3 block codec. Texels are 32-bit B, G, R, A; a block covers 4 x 4 texels in row order.
//
// Decoding: the two 5:6:5 end colours expand to 8 bits per channel ((c << 3) | (c >> 2), (c << 2) | (c >> 4));
// a DXT1 block with colour0 > colour1 adds (2 c0 + c1) / 3 and (c0 + 2 c1) / 3, otherwise (c0 + c1) / 2 and
// transparent black. DXT3 colour blocks always use the four-colour rule and take each texel's alpha from
// its 4-bit value x 17.
//
// Encoding: DXT1 writes opaque four-colour blocks only (alpha is ignored); DXT3 adds the alpha rounded to
// 4 bits. End colours lie on the block's principal colour axis and are refined once by least squares.
#include <cstddef>
#include <cstdint>

#include "engine/image/pixel_format.h"

namespace engine {

void DecodeDxt1Block(const std::uint8_t* block, std::uint8_t* texels);
void DecodeDxt3Block(const std::uint8_t* block, std::uint8_t* texels);
void EncodeDxt1Block(const std::uint8_t* texels, std::uint8_t* block);
void EncodeDxt3Block(const std::uint8_t* texels, std::uint8_t* block);

// Decodes a level of (width + 3) / 4 x (height + 3) / 4 blocks, block rows `blockPitch` bytes apart, into
// width x height texels (rows `pitch` bytes apart); texels of edge blocks beyond the size are dropped.
// False for a format other than DXT1 and DXT3 or a zero size.
bool DecodeDxtBlocks(SurfaceFormat format, const std::uint8_t* blocks, std::size_t blockPitch, std::uint32_t width,
                     std::uint32_t height, std::uint8_t* pixels, std::size_t pitch);
// Encodes width x height texels into blocks; edge blocks repeat the last column and row.
bool EncodeDxtBlocks(SurfaceFormat format, const std::uint8_t* pixels, std::size_t pitch, std::uint32_t width,
                     std::uint32_t height, std::uint8_t* blocks, std::size_t blockPitch);

}  // namespace engine
