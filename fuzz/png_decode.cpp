// Decodes arbitrary bytes as a PNG file with the program's own inflate. A failure must leave no pixels and no
// size; a success must give a picture within the size limits with a valid alpha kind.
#include <cstddef>
#include <cstdint>

#include "engine/image/image_limits.h"
#include "engine/image/png_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    const engine::DecodedPng png = engine::DecodePng(input, size);
    if (png.error != engine::kPngOk) {
        if (png.pixels != nullptr || png.width != 0 || png.height != 0) __builtin_trap();
        return 0;
    }
    if (png.pixels == nullptr || !engine::ImageSizeAllowed(png.width, png.height)) __builtin_trap();
    if (png.alphaKind < engine::kAlphaOpaque || png.alphaKind > engine::kAlphaBlended) __builtin_trap();
    // Touch the last pixel: the buffer must hold the whole picture.
    volatile std::uint8_t last = png.pixels[std::size_t{png.width} * png.height * 4 - 1];
    (void)last;
    return 0;
}
