#pragma once
// The TGA reader's working record: the header checked, the pixel data decoded (run-length packets
// expanded) with rows top first, and the 256-entry palette of colour-mapped files.
//
// Accepted: image types 1 (colour-mapped), 2 (true colour), 9 and 10 (the same run-length coded); a colour
// map, when present, must start at 0 and hold 256 entries of 24 bits. Width and height are the size fields
// less the x and y origins. Every read is checked against the file, and a run-length packet that would
// write past the picture or read past the file fails the load.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace engine {

class TgaImage {
public:
    // Parses a whole file; 1 on success, 0 when it is no TGA this reader takes.
    int Load(const std::uint8_t* data, std::size_t size);

    std::uint32_t Width() const { return width_; }
    std::uint32_t Height() const { return height_; }
    int BitsPerPixel() const { return bitsPerPixel_; }
    int ImageType() const { return imageType_; }
    // Width x height x (bits per pixel / 8) bytes.
    std::size_t DataSize() const { return dataSize_; }
    const std::uint8_t* Pixels() const { return pixels_.get(); }
    // 256 entries of B, G, R (zero without a colour map).
    const std::uint8_t* Palette() const { return palette_; }

private:
    bool DecodeRunLength(const std::uint8_t* data, std::size_t size, std::size_t start);
    void FlipRows();

    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    int bitsPerPixel_ = 0;
    std::size_t dataSize_ = 0;
    int imageType_ = 0;
    std::unique_ptr<std::uint8_t[]> pixels_;
    std::uint8_t palette_[768] = {};
};

}  // namespace engine
