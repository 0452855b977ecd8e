#include "engine/image/image.h"

#include <cstring>
#include <new>

#include "engine/image/image_limits.h"

namespace engine {

void Image::Init() {
    FreePixels();
    width_ = 0;
    height_ = 0;
    alphaKind_ = kAlphaOpaque;
    name_.Clear();
}

bool Image::Create(std::uint32_t width, std::uint32_t height, const WideString& name) {
    Init();
    if (!name_.Assign(name)) return false;
    return Allocate(width, height);
}

void Image::Destroy() {
    FreePixels();
    width_ = 0;
    height_ = 0;
    name_.Clear();
}

bool Image::Resize(std::uint32_t width, std::uint32_t height) {
    if (width == width_ && height == height_ && (pixels_ != nullptr || width == 0 || height == 0)) {
        if (pixels_ != nullptr) std::memset(pixels_.get(), 0, Pitch() * height_);
        return true;
    }
    return Allocate(width, height);
}

bool Image::UseDibSection(std::uint32_t width, std::uint32_t height) {
    if (width == width_ && height == height_ && pixels_ != nullptr) return true;
    return Allocate(width, height);
}

bool Image::Allocate(std::uint32_t width, std::uint32_t height) {
    FreePixels();
    width_ = 0;
    height_ = 0;
    if (width == 0 || height == 0) return true;
    if (!ImageSizeAllowed(width, height)) return false;
    pixels_.reset(new (std::nothrow) std::uint8_t[std::size_t{width} * height * 4]());
    if (!pixels_) return false;
    width_ = width;
    height_ = height;
    return true;
}

void Image::FreePixels() {
    pixels_.reset();
    dibBacked_ = 0;
}

}  // namespace engine
