#include "engine/image/tga_image.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/image/image_limits.h"

namespace engine {

namespace {

constexpr std::size_t kHeaderSize = 18;
constexpr std::size_t kPaletteSize = 768;
constexpr int kColourMapped = 1;
constexpr int kTrueColour = 2;
constexpr int kRunLengthColourMapped = 9;
constexpr int kRunLengthTrueColour = 10;
constexpr std::uint8_t kTopFirst = 0x20;

unsigned LoadU16(const std::uint8_t* p) { return p[0] | (p[1] << 8u); }

}  // namespace

int TgaImage::Load(const std::uint8_t* data, std::size_t size) {
    *this = TgaImage();
    if (data == nullptr || size < kHeaderSize) return 0;
    const std::size_t idLength = data[0];
    const int mapType = data[1];
    const int type = data[2];
    if (mapType >= 2 || type > 11) return 0;
    if (mapType == 1 && (LoadU16(data + 3) != 0 || LoadU16(data + 5) != 256 || data[7] != 24)) return 0;
    const int width = static_cast<int>(LoadU16(data + 12)) - static_cast<int>(LoadU16(data + 8));
    const int height = static_cast<int>(LoadU16(data + 14)) - static_cast<int>(LoadU16(data + 10));
    if (width <= 0 || height <= 0 || !ImageSizeAllowed(static_cast<std::uint64_t>(width),
                                                       static_cast<std::uint64_t>(height))) {
        return 0;
    }
    const int bits = data[16];
    const std::size_t pixelBytes = static_cast<std::size_t>(bits / 8);
    if (pixelBytes == 0) return 0;
    const std::uint8_t descriptor = data[17];

    const bool mapped = type == kColourMapped || type == kRunLengthColourMapped;
    if (type != kColourMapped && type != kTrueColour && type != kRunLengthColourMapped &&
        type != kRunLengthTrueColour) {
        return 0;
    }
    if (mapType != (mapped ? 1 : 0)) return 0;

    width_ = static_cast<std::uint32_t>(width);
    height_ = static_cast<std::uint32_t>(height);
    bitsPerPixel_ = bits;
    imageType_ = type;
    dataSize_ = std::size_t{width_} * height_ * pixelBytes;
    // All of these are at most 18 + 255 + 768 + 2^26 x 31 bytes: no overflow.
    std::size_t start = kHeaderSize + idLength;
    if (mapped) {
        if (size < start + kPaletteSize) return 0;
        std::memcpy(palette_, data + start, kPaletteSize);
        start += kPaletteSize;
    }
    // Refuse what the file cannot hold before allocating: raw data must be there whole, and a run-length
    // packet of 1 + pixelBytes bytes or more gives at most 128 pixels.
    const bool runLength = type == kRunLengthColourMapped || type == kRunLengthTrueColour;
    if (size < start) return 0;
    const std::size_t available = size - start;
    if (!runLength && available < dataSize_) return 0;
    if (runLength && dataSize_ / (128 * pixelBytes) > available / (1 + pixelBytes)) return 0;
    pixels_.reset(new (std::nothrow) std::uint8_t[dataSize_]);
    if (!pixels_) return 0;
    if (!runLength) {
        std::memcpy(pixels_.get(), data + start, dataSize_);
    } else if (!DecodeRunLength(data, size, start)) {
        return 0;
    }
    if ((descriptor & kTopFirst) == 0) FlipRows();
    return 1;
}

bool TgaImage::DecodeRunLength(const std::uint8_t* data, std::size_t size, std::size_t start) {
    const std::size_t pixelBytes = static_cast<std::size_t>(bitsPerPixel_ / 8);
    std::uint8_t* out = pixels_.get();
    std::size_t produced = 0;
    std::size_t pos = start;
    while (produced < dataSize_) {
        if (pos >= size) return false;
        const unsigned packet = data[pos++];
        const bool run = (packet & 0x80u) != 0;
        const std::size_t count = run ? packet - 127 : packet + 1;
        const std::size_t bytes = count * pixelBytes;
        if (bytes > dataSize_ - produced) return false;  // would write past the picture
        if (run) {
            if (size - pos < pixelBytes) return false;
            for (std::size_t i = 0; i < count; ++i) {
                std::memcpy(out + produced + i * pixelBytes, data + pos, pixelBytes);
            }
            pos += pixelBytes;
        } else {
            if (size - pos < bytes) return false;
            std::memcpy(out + produced, data + pos, bytes);
            pos += bytes;
        }
        produced += bytes;
    }
    return true;
}

void TgaImage::FlipRows() {
    const std::size_t rowBytes = dataSize_ / height_;
    std::uint8_t* top = pixels_.get();
    std::uint8_t* bottom = pixels_.get() + (height_ - 1) * rowBytes;
    for (; top < bottom; top += rowBytes, bottom -= rowBytes) std::swap_ranges(top, top + rowBytes, bottom);
}

}  // namespace engine
