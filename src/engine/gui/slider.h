#pragma once
// A slider, which doubles as a scroll bar: a track with a number of positions and a thumb. The thumb spans the
// track's thickness; its length is set, or by default the larger of track length / positions and the thickness.
// A slider with fewer than 2 positions draws nothing and ignores drags.
#include "engine/gui/dialog_control.h"

namespace engine {

class Slider final : public DialogControl {
public:
    bool Draw(int dialogX, int dialogY, BitmapFont* font, RenderTargetBase& target) override;
    int GetType() const override { return kControlSlider; }

    void SetHorizontal(bool horizontal);
    bool IsHorizontal() const { return horizontal_; }
    // Negative becomes 0 (automatic); takes effect at the next recomputation of the thumb.
    void SetThumbLength(int length) { thumbLength_ = length < 0 ? 0 : length; }
    // Clamped to 0 .. positions - 1.
    void SetPosition(int position);
    // Below 1 counts as 1; a position outside the new range becomes 0 when negative, else the last.
    void SetPositionCount(int count);
    int GetPosition() const { return position_; }
    int GetPositionCount() const { return positions_; }
    // Relative to the dialog.
    const IntRect& GetThumbRect() const { return thumb_; }

    // The position for a pointer at offset along the track from its start. When the thumb fills the track, the
    // pointer's side of the middle gives 0 or the last position.
    int PositionAt(int offset) const;
    // The offset along the track of a screen point, for a dialog at (dialogX, dialogY).
    int TrackOffset(int dialogX, int dialogY, int x, int y) const;

private:
    int TrackLength() const;
    int ThumbLength() const;
    void UpdateThumb();

    int positions_ = 1;
    int position_ = 0;
    bool horizontal_ = false;
    int thumbLength_ = 0;
    IntRect thumb_;
};

}  // namespace engine
