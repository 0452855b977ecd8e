#pragma once
// The controls that live in engine dialogs: the common part of buttons, sliders and list boxes. A control has
// an id the owner chooses (used in every dialog event), a rectangle relative to its dialog, a text and a
// tooltip, focused, hovered and pressed looks, and a disabled state: 0 enabled, 1 disabled (skipped by hover,
// focus and input), 2 hidden (also not drawn). Controls belong to their dialog's list, newest first, and are
// deleted with the dialog, each running its destroy callback first.
#include <cstdint>

#include "engine/core/int_rect.h"
#include "engine/core/wide_string.h"

namespace engine {

class BitmapFont;
class Dialog;
class RenderTargetBase;

enum DialogControlType : int {
    kControlButton = 1,
    kControlListBox = 3,
    kControlSlider = 5,
};

class DialogControl {
public:
    using DestroyCallback = void (*)(void* userValue, DialogControl& control);

    DialogControl() = default;
    // Runs the destroy callback.
    virtual ~DialogControl();
    DialogControl(const DialogControl&) = delete;
    DialogControl& operator=(const DialogControl&) = delete;

    void Init(const IntRect& rect, int id, const char16_t* text, void* userValue, Dialog* dialog,
              DestroyCallback destroyCallback, const char16_t* tooltip);

    // Draws the control with its dialog at (dialogX, dialogY). False when a callback destroyed the dialog (and
    // with it this control) meanwhile.
    virtual bool Draw(int dialogX, int dialogY, BitmapFont* font, RenderTargetBase& target) = 0;
    virtual int GetType() const = 0;
    virtual bool IsEnabled() const { return disabled_ == 0; }

    int GetId() const { return id_; }
    bool IsHovered() const { return hovered_; }
    bool IsPressed() const { return pressed_; }
    bool IsFocused() const { return focused_; }
    const IntRect& GetRect() const { return rect_; }
    // The rectangle relative to the dialog (a screen laid out anew after a display switch).
    void SetRect(const IntRect& rect) { rect_ = rect; }
    // The rectangle on screen for a dialog at (dialogX, dialogY).
    IntRect ScreenRect(int dialogX, int dialogY) const;
    const WideString& GetText() const { return text_; }
    WideString GetTextCopy() const { return text_; }
    const WideString& GetTooltip() const { return tooltip_; }
    WideString GetTooltipCopy() const { return tooltip_; }
    // The label and the second text (a slider shows it as its value).
    void SetText(const WideString& text) { text_.Assign(text); }
    void SetTooltip(const WideString& text) { tooltip_.Assign(text); }
    void SetUserData(void* userValue) { userValue_ = userValue; }
    void* GetUserData() const { return userValue_; }
    Dialog* GetDialog() const { return dialog_; }
    int GetDisabled() const { return disabled_; }
    // A focused control that becomes disabled or hidden passes focus on in list order.
    void SetDisabled(int state);

    // State the dialog's passes keep.
    void SetHovered(bool hovered) { hovered_ = hovered; }
    void SetPressed(bool pressed) { pressed_ = pressed; }
    void SetFocused(bool focused) { focused_ = focused; }
    bool IsPressedBySelectKey() const { return pressedBySelect_; }
    void SetPressedBySelectKey(bool bySelect) { pressedBySelect_ = bySelect; }
    float GetTime() const { return time_; }
    void SetTime(float seconds) { time_ = seconds; }
    DialogControl* Next() const { return next_; }
    void SetNext(DialogControl* next) { next_ = next; }

protected:
    enum class BodyResult { kDrawn, kDrawnByCallback, kDialogGone };
    // Event 4, then unless the callback drew the control: the flat body in its hover, focus or plain colour
    // (shrunk by 2 pixels on every side for the pressed look) and the text in white, centred.
    BodyResult DrawBody(int dialogX, int dialogY, BitmapFont* font, RenderTargetBase& target, bool pressedLook);

private:
    WideString text_;
    WideString tooltip_;
    int id_ = 0;
    IntRect rect_;
    bool focused_ = false;
    bool hovered_ = false;
    bool pressed_ = false;
    bool pressedBySelect_ = false;
    int disabled_ = 0;
    Dialog* dialog_ = nullptr;
    float time_ = 0.0f;
    DestroyCallback destroyCallback_ = nullptr;
    void* userValue_ = nullptr;
    DialogControl* next_ = nullptr;
};

class Button final : public DialogControl {
public:
    bool Draw(int dialogX, int dialogY, BitmapFont* font, RenderTargetBase& target) override;
    int GetType() const override { return kControlButton; }
};

}  // namespace engine
