// Loading images by name: the load order over PNG and TGA files and the conversion of both into pixels.
#include <cstring>

#include "engine/platform/data_files.h"
#include "engine/image/image.h"
#include "engine/image/png_decoder.h"
#include "engine/image/tga_image.h"

namespace engine {

namespace {

constexpr char kCommonFolder[] = "Common/";

WideString WithExtension(const WideString& name, const char* extension) {
    WideString path(name);
    path.DropExtension();
    path.AppendNarrow(extension);
    return path;
}

}  // namespace

int Image::Load(const char* name) { return LoadFromWideName(WideString(name)); }

int Image::LoadFromWideName(const WideString& name) {
    const WideString given(name);  // `name` may be this image's own name
    name_.Assign(given);
    if (LoadPng(given) == 1 || LoadTga(given) == 1) return 1;
    const WideString common(WideString(kCommonFolder), given);
    return LoadPng(common) == 1 || LoadTga(common) == 1 ? 1 : 0;
}

int Image::LoadPng(const WideString& name) {
    std::size_t size = 0;
    const std::unique_ptr<std::uint8_t[]> file = LoadWholeFile(WithExtension(name, ".png"), size);
    if (!file) return 0;
    return DecodePngFile(file.get(), size);
}

int Image::DecodePngFile(const std::uint8_t* data, std::size_t size) {
    alphaKind_ = kAlphaOpaque;
    FreePixels();
    width_ = 0;
    height_ = 0;
    DecodedPng png = DecodePng(data, size);
    if (png.error != kPngOk) return 0;
    pixels_ = std::move(png.pixels);
    width_ = png.width;
    height_ = png.height;
    alphaKind_ = png.alphaKind;
    return 1;
}

int Image::LoadTga(const WideString& name) {
    std::size_t size = 0;
    const std::unique_ptr<std::uint8_t[]> file = LoadWholeFile(WithExtension(name, ".TGA"), size);
    if (!file) return 0;
    return DecodeTgaFile(file.get(), size);
}

int Image::DecodeTgaFile(const std::uint8_t* data, std::size_t size) {
    TgaImage tga;
    if (tga.Load(data, size) != 1) return 0;
    const int bits = tga.BitsPerPixel();
    if (bits != 8 && bits != 24 && bits != 32) return 0;  // checked before the image changes
    if (!Resize(tga.Width(), tga.Height())) return 0;
    alphaKind_ = kAlphaOpaque;

    const std::size_t count = std::size_t{width_} * height_;
    const std::uint8_t* in = tga.Pixels();
    std::uint8_t* out = pixels_.get();
    if (bits == 8) {
        const std::uint8_t* palette = tga.Palette();
        for (std::size_t i = 0; i < count; ++i, out += 4) {
            const std::uint8_t index = in[i];
            std::memcpy(out, palette + index * 3, 3);
            out[3] = index == 0 ? 0 : 255;
            if (index == 0) alphaKind_ = kAlphaKeyed;
        }
    } else if (bits == 24) {
        for (std::size_t i = 0; i < count; ++i, in += 3, out += 4) {
            // Magenta, with a little slack for lossy tools, is the transparent colour.
            if (in[0] >= 252 && in[1] <= 3 && in[2] >= 252) {
                std::memset(out, 0, 4);
                alphaKind_ = kAlphaKeyed;
            } else {
                std::memcpy(out, in, 3);
                out[3] = 255;
            }
        }
    } else {
        std::memcpy(out, in, count * 4);
        alphaKind_ = AlphaKindOfPixels(out, count);
    }
    return 1;
}

}  // namespace engine
