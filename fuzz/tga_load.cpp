// Reads arbitrary bytes as a TGA file into an image. A refused file must leave the image as it was; a loaded
// one must hold pixels for its whole size.
#include <cstddef>
#include <cstdint>

#include "engine/core/wide_string.h"
#include "engine/image/image.h"
#include "engine/image/tga_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
    engine::Image image;
    if (!image.Create(2, 2, engine::WideString("fuzz"))) return 0;
    if (image.DecodeTgaFile(input, size) != 1) {
        if (image.Width() != 2 || image.Height() != 2 || image.Pixels() == nullptr) __builtin_trap();
        return 0;
    }
    if (image.Pixels() == nullptr || image.Width() == 0 || image.Height() == 0) __builtin_trap();
    volatile std::uint8_t last = image.Pixels()[image.Pitch() * image.Height() - 1];
    (void)last;

    engine::TgaImage tga;
    if (tga.Load(input, size) != 1 || tga.DataSize() != std::size_t{tga.Width()} * tga.Height() *
                                                             static_cast<std::size_t>(tga.BitsPerPixel() / 8)) {
        __builtin_trap();  // the image loaded, so the record must parse the same way
    }
    return 0;
}
