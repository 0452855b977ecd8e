#include "engine/gui/slider.h"

#include <algorithm>

#include "engine/render/render_target.h"

namespace engine {
namespace {

constexpr int kBlendFill = 3;
constexpr std::uint32_t kThumbColour = 0xFF404040u;

}  // namespace

bool Slider::Draw(int dialogX, int dialogY, BitmapFont* font, RenderTargetBase& target) {
    if (positions_ < 2) return true;
    const BodyResult body = DrawBody(dialogX, dialogY, font, target, false);
    if (body == BodyResult::kDialogGone) return false;
    if (body == BodyResult::kDrawn) {
        target.FillRect(IntRect{dialogX + thumb_.x, dialogY + thumb_.y, thumb_.width, thumb_.height}, kThumbColour,
                        kBlendFill);
    }
    return true;
}

void Slider::SetHorizontal(bool horizontal) {
    horizontal_ = horizontal;
    UpdateThumb();
}

void Slider::SetPosition(int position) {
    position_ = std::clamp(position, 0, positions_ - 1);
    UpdateThumb();
}

void Slider::SetPositionCount(int count) {
    positions_ = std::max(count, 1);
    if (position_ < 0) {
        position_ = 0;
    } else if (position_ >= positions_) {
        position_ = positions_ - 1;
    }
    UpdateThumb();
}

int Slider::TrackLength() const { return horizontal_ ? GetRect().width : GetRect().height; }

int Slider::ThumbLength() const {
    if (thumbLength_ != 0) return thumbLength_;
    const int thickness = horizontal_ ? GetRect().height : GetRect().width;
    return std::max(TrackLength() / positions_, thickness);
}

void Slider::UpdateThumb() {
    if (positions_ < 2) return;
    const IntRect& rect = GetRect();
    const int length = ThumbLength();
    const int along = TrackLength();
    const int offset = static_cast<int>(static_cast<float>(along - length) / static_cast<float>(positions_ - 1) *
                                        static_cast<float>(position_));
    thumb_ = horizontal_ ? IntRect{rect.x + offset, rect.y, length, rect.height}
                         : IntRect{rect.x, rect.y + offset, rect.width, length};
}

int Slider::PositionAt(int offset) const {
    if (positions_ < 2) return position_;
    const int along = TrackLength();
    const int length = ThumbLength();
    if (along <= length) return offset * 2 < along ? 0 : positions_ - 1;
    const int half = length / 2;
    if (offset < half) return 0;
    if (offset >= along - half) return positions_ - 1;
    return static_cast<int>(static_cast<float>(offset - half) / static_cast<float>(along - length) *
                            static_cast<float>(positions_ - 1));
}

int Slider::TrackOffset(int dialogX, int dialogY, int x, int y) const {
    const IntRect rect = ScreenRect(dialogX, dialogY);
    return horizontal_ ? x - rect.x : y - rect.y;
}

}  // namespace engine
