#include "engine/image/colour_gradient.h"

#include <algorithm>
#include <new>

namespace engine {

namespace {

float Channel(std::uint32_t argb, int shift) { return static_cast<float>((argb >> shift) & 0xFFu); }

}  // namespace

ColourGradient::ColourGradient(std::size_t capacity)
    : keys_(capacity > 0 ? new (std::nothrow) std::uint32_t[capacity] : nullptr),
      capacity_(keys_ != nullptr ? capacity : 0) {}

bool ColourGradient::AddKey(std::uint32_t argb) {
    if (count_ >= capacity_) return false;
    keys_[count_++] = argb;
    return true;
}

std::uint32_t ColourGradient::GetKey(std::size_t index) const { return index < count_ ? keys_[index] : 0; }

std::uint32_t ColourGradient::Sample(float x) const {
    if (count_ == 0) return 0;
    if (count_ == 1) return keys_[0];
    if (!(x > 0.0f)) x = 0.0f;  // NaN too
    if (x > 1.0f) x = 1.0f;
    const std::size_t last = count_ - 1;
    const float step = 1.0f / static_cast<float>(last);
    const std::size_t i = std::min(static_cast<std::size_t>(static_cast<float>(last) * x), last);
    const std::size_t j = std::min(i + 1, last);
    const float t = (x - step * static_cast<float>(i)) / step;
    static constexpr int kShifts[4] = {16, 8, 0, 24};  // red, green, blue, alpha
    float channels[4];
    for (int c = 0; c < 4; ++c) {
        const int s = kShifts[c];
        const float v = ((1.0f - t) * Channel(keys_[i], s) + t * Channel(keys_[j], s)) / 255.0f;
        channels[c] = std::clamp(v, 0.0f, 1.0f);
    }
    return MakeArgbF(channels[0], channels[1], channels[2], channels[3]);
}

std::uint32_t ScaleColourRgb(std::uint32_t argb, int factor) {
    auto scale = [factor](std::uint32_t c) -> std::uint32_t {
        const std::int64_t v = (static_cast<std::int64_t>(c) * factor) >> 8;
        return static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, 0, 255));
    };
    return (argb & 0xFF000000u) | (scale((argb >> 16) & 0xFFu) << 16) | (scale((argb >> 8) & 0xFFu) << 8) |
           scale(argb & 0xFFu);
}

ColourF ArgbToColourF(std::uint32_t argb) {
    ColourF colour;
    colour.Set(Channel(argb, 16) / 255.0f, Channel(argb, 8) / 255.0f, Channel(argb, 0) / 255.0f,
               Channel(argb, 24) / 255.0f);
    return colour;
}

std::uint32_t ColourFToArgb(const ColourF& colour) { return colour.ToArgb(); }

}  // namespace engine
