#include "engine/gui/dialog_control.h"

#include "engine/gui/bitmap_font.h"
#include "engine/gui/dialog.h"
#include "engine/gui/gui_state.h"
#include "engine/render/render_target.h"

namespace engine {
namespace {

constexpr int kBlendFill = 3;
constexpr std::uint32_t kCentredFlags = 38;
constexpr std::uint32_t kBlinkBit = 0x80;
constexpr int kPressedInset = 2;

}  // namespace

DialogControl::~DialogControl() {
    if (destroyCallback_ != nullptr) destroyCallback_(userValue_, *this);
}

void DialogControl::Init(const IntRect& rect, int id, const char16_t* text, void* userValue, Dialog* dialog,
                         DestroyCallback destroyCallback, const char16_t* tooltip) {
    rect_ = rect;
    id_ = id;
    if (text != nullptr) text_.AssignWide(text);
    if (tooltip != nullptr) tooltip_.AssignWide(tooltip);
    userValue_ = userValue;
    dialog_ = dialog;
    destroyCallback_ = destroyCallback;
}

IntRect DialogControl::ScreenRect(int dialogX, int dialogY) const {
    return IntRect{dialogX + rect_.x, dialogY + rect_.y, rect_.width, rect_.height};
}

void DialogControl::SetDisabled(int state) {
    disabled_ = state;
    if (state != 0 && focused_ && dialog_ != nullptr) dialog_->MoveFocusInListOrder(true);
}

DialogControl::BodyResult DialogControl::DrawBody(int dialogX, int dialogY, BitmapFont* font,
                                                  RenderTargetBase& target, bool pressedLook) {
    IntRect rect = ScreenRect(dialogX, dialogY);
    int drawn = 0;
    if (dialog_ != nullptr && !dialog_->SendChecked(kEventDrawControl, id_, 0, &rect, drawn)) {
        return BodyResult::kDialogGone;
    }
    if (drawn != 0) return BodyResult::kDrawnByCallback;
    std::uint32_t colour = GuiRgb(96, 96, 96);
    if (hovered_) {
        colour = (GuiMilliseconds() & kBlinkBit) != 0 ? GuiRgb(200, 200, 200) : GuiRgb(100, 100, 100);
    } else if (focused_) {
        colour = GuiRgb(160, 180, 180);
    }
    IntRect body = rect;
    if (pressedLook) {
        body.x += kPressedInset;
        body.y += kPressedInset;
        body.width -= 2 * kPressedInset;
        body.height -= 2 * kPressedInset;
    }
    target.FillRect(body, colour, kBlendFill);
    if (font != nullptr && !text_.IsEmpty()) {
        font->Draw(target, text_, rect.x + rect.width / 2 - 1, rect.y + rect.height / 2, kCentredFlags, kGuiWhite);
    }
    return BodyResult::kDrawn;
}

bool Button::Draw(int dialogX, int dialogY, BitmapFont* font, RenderTargetBase& target) {
    return DrawBody(dialogX, dialogY, font, target, IsPressed()) != BodyResult::kDialogGone;
}

}  // namespace engine
