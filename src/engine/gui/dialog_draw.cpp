// Drawing one dialog: the body and title bar, the controls (the focused one last), the tooltip and the
// after-drawing event. Every callback may destroy the dialog; drawing stops as soon as it did.
#include "engine/gui/bitmap_font.h"
#include "engine/gui/dialog.h"
#include "engine/gui/dialog_control.h"
#include "engine/gui/gui_state.h"
#include "engine/render/render_target.h"

namespace engine {
namespace {

constexpr int kBlendFill = 3;
constexpr std::uint32_t kTitleFlags = 0x86;  // centred, no vertical offset
constexpr std::uint32_t kCentredFlags = 38;
constexpr std::uint32_t kTooltipColour = 0x40404040u;
constexpr int kTooltipGap = 5;
constexpr float kTooltipDelaySeconds = 0.5f;
constexpr int kHidden = 2;

}  // namespace

bool Dialog::Draw(RenderTargetBase& target) {
    const IntRect rect = ScreenRect();
    int drawn = 0;
    if (!SendChecked(kEventDrawDialog, 0, 0, &rect, drawn)) return false;
    if (drawn == 0) {
        target.FillRect(rect, GuiRgb(128, 128, 128), kBlendFill);
        if (font_ != nullptr && !title_.IsEmpty()) {
            target.FillRect(IntRect{rect.x, rect.y, rect.width, font_->GetLineSpacing() + 2}, GuiRgb(96, 96, 96),
                            kBlendFill);
            font_->Draw(target, title_, rect.x + rect.width / 2, rect.y + 1, kTitleFlags);
        }
    }
    if (!DrawControls(target) || !DrawTooltip(target)) return false;
    int ignored = 0;
    return SendChecked(kEventAfterDraw, 0, 0, &rect, ignored);
}

bool Dialog::DrawControls(RenderTargetBase& target) {
    const int dialogX = rect_.x + originX_;
    const int dialogY = rect_.y + originY_;
    for (DialogControl* c = controls_; c != nullptr; c = c->Next()) {
        if (c == focused_ || c->GetDisabled() == kHidden) continue;
        c->SetTime(0.0f);
        if (!c->Draw(dialogX, dialogY, font_, target)) return false;
    }
    if (focused_ != nullptr && focused_->GetDisabled() != kHidden) {
        // A hovered control's time has grown in this frame's pointer pass already.
        if (!focused_->IsHovered()) focused_->SetTime(focused_->GetTime() + GuiFrameSeconds());
        if (!focused_->Draw(dialogX, dialogY, font_, target)) return false;
    }
    return true;
}

bool Dialog::DrawTooltip(RenderTargetBase& target) {
    DialogControl* tip = nullptr;
    for (DialogControl* c = controls_; c != nullptr && tip == nullptr; c = c->Next()) {
        if (c->GetTime() > 0.0f && !c->GetTooltip().IsEmpty()) tip = c;
    }
    if (tip == nullptr) return true;
    int handled = 0;
    if (!SendChecked(kEventTooltip, tip->GetId(), 0, nullptr, handled)) return false;
    if (handled != 0 || tip->GetTime() <= kTooltipDelaySeconds) return true;
    const IntRect control = tip->ScreenRect(rect_.x + originX_, rect_.y + originY_);
    const IntRect box{control.x, control.y + control.height + kTooltipGap, control.width, control.height};
    target.FillRect(box, kTooltipColour, kBlendFill);
    if (font_ != nullptr) {
        font_->Draw(target, tip->GetTooltip(), box.x + box.width / 2, box.y + box.height / 2, kCentredFlags,
                    kGuiWhite);
    }
    return true;
}

}  // namespace engine
