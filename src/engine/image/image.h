#pragma once
// The CPU-side picture that textures are made from: 32-bit pixels stored as the bytes B, G, R, A (a
// little-endian ARGB word), rows top first without padding, with a size, an alpha kind and a name.
//
// Images load by name from the data files: the PNG of the name, then its TGA, then both again under
// "Common/". A load that fails leaves no size without pixels behind.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/core/wide_string.h"
#include "engine/image/alpha_kind.h"

namespace engine {

class Image {
public:
    Image() = default;
    ~Image() { Destroy(); }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // Empty: no pixels, size 0, alpha kind 0, name empty.
    void Init();
    // Zero-filled pixels of the size (a side of 0 gives size 0 and no pixels). False, leaving the image
    // empty, when the size exceeds the image limits or memory runs out.
    bool Create(std::uint32_t width, std::uint32_t height, const WideString& name);
    // Frees the pixels and the name.
    void Destroy();
    // A new size gets new zero-filled pixels; the same size only zero-fills. False as Create.
    bool Resize(std::uint32_t width, std::uint32_t height);
    // There are no DIB sections here: with a new size this gives new zero-filled plain pixel memory (as
    // Resize); the same size keeps the pixels. The image never becomes DIB-backed.
    bool UseDibSection(std::uint32_t width, std::uint32_t height);

    // The image's name becomes `name`; then the PNG, the TGA, "Common/" + name as PNG and as TGA are tried in
    // turn. 1 on the first that loads, else 0.
    int Load(const char* name);
    int LoadFromWideName(const WideString& name);
    // The name with its extension replaced by ".png", read whole from the data files. 0 when the file is
    // missing or empty (the image unchanged) or does not decode (the image left empty).
    int LoadPng(const WideString& name);
    // The name with its extension replaced by ".TGA". 0 when the file is missing or is no TGA the reader
    // takes, the image unchanged.
    int LoadTga(const WideString& name);

    // The readers' second halves, over a whole file in memory; results as LoadPng and LoadTga.
    int DecodePngFile(const std::uint8_t* data, std::size_t size);
    int DecodeTgaFile(const std::uint8_t* data, std::size_t size);

    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }
    // Bytes from one row to the next.
    std::size_t Pitch() const { return std::size_t{width_} * 4; }
    AlphaKind GetAlphaKind() const { return alphaKind_; }
    void SetAlphaKind(AlphaKind kind) { alphaKind_ = kind; }
    std::uint8_t* Pixels() { return pixels_.get(); }
    const std::uint8_t* Pixels() const { return pixels_.get(); }
    const WideString& Name() const { return name_; }
    bool SetName(const WideString& name) { return name_.Assign(name); }
    bool IsDibBacked() const { return dibBacked_ != 0; }

private:
    bool Allocate(std::uint32_t width, std::uint32_t height);
    void FreePixels();

    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    AlphaKind alphaKind_ = kAlphaOpaque;
    std::unique_ptr<std::uint8_t[]> pixels_;
    int dibBacked_ = 0;
    WideString name_;
};

}  // namespace engine
