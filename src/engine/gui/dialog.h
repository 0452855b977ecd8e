#pragma once
// An engine dialog: a rectangle with a title, a list of controls (newest first) and one callback through which
// the owner hears about everything that happens and may take over drawing. The owner allocates the dialog; Init
// puts it into one of the dialog system's 64 slots (its id is the slot + 1) and Destroy takes it out. The
// dialog system (dialog_system.h) drives every shown dialog once per frame from the pointer and the navigation
// keys and draws them.
//
// Callbacks may show, hide or destroy dialogs, this one included; every pass checks after each callback that
// its dialog still exists and leaves it alone when it does not.
#include <cstdint>
#include <functional>

#include "engine/core/int_rect.h"
#include "engine/core/wide_string.h"

namespace engine {

class BitmapFont;
class Button;
class DialogControl;
class ListBox;
class RenderTargetBase;
class Slider;

enum DialogEvent : int {
    kEventCreated = 1,
    kEventShown = 2,         // a: shown flag; rect: the dialog's rectangle; the result is Show's
    kEventDrawDialog = 3,    // rect: the dialog's rectangle; non-zero: the callback drew the body
    kEventDrawControl = 4,   // a: control id; rect: its screen rectangle; non-zero: the callback drew it
    kEventTooltip = 5,       // a: control id; non-zero: the callback handles the tooltip
    kEventFocus = 6,         // a: control id
    kEventAfterDraw = 7,     // rect: the dialog's rectangle
    kEventNavigate = 8,      // a: one of the kNavigate* notices; non-zero: consumed
    kEventPressed = 9,       // a: control id; non-zero (pointer): the press is suppressed until release
    kEventHover = 10,        // a: control id
    kEventReleased = 11,     // a: control id; b: a list's row, a slider's position, else 0
    kEventHoverChanged = 12, // a: control id
    kEventSliderMoved = 13,  // a: control id; b: the new position
};

// The notices of event 8.
enum NavigateNotice : int {
    kNoticeUp = 0,
    kNoticeDown = 1,
    kNoticeLeft = 2,
    kNoticeRight = 3,
    kNoticePress = 4,
    kNoticeBack = 5,
};

struct DialogInputSnapshot {
    int pointerX = 0;
    int pointerY = 0;
    std::uint16_t button = 0;
};

class Dialog {
public:
    using Callback = std::function<int(Dialog& dialog, int event, int a, int b, const IntRect* rect)>;

    Dialog() = default;
    // Destroys the dialog when it is still in its slot.
    ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Takes the first free slot and sends event 1. False when all 64 slots are taken: the id stays 0 and nothing
    // else happens.
    bool Init(const char16_t* title, int x, int y, int w, int h, Callback callback, bool keyboard,
              bool directional);
    // Deletes every control (each runs its destroy callback), stops being the active dialog and frees the slot.
    void Destroy();
    // Stores the shown flag (shown: becomes the active dialog and takes the exclusive flag; hidden: the active
    // dialog is none if it was this one), gives focus to the remembered control or else the earliest-added
    // button, sends event 2 and returns its result. The record of the previous frame's pointer press is cleared,
    // so a press still held counts as new for dialogs handled later in the frame.
    int Show(bool shown, bool exclusive = false);

    // Null when the control cannot be made. The rectangle is relative to the dialog.
    Button* AddButton(int id, const IntRect& rect, const char16_t* text, const char16_t* tooltip = nullptr);
    Slider* AddSlider(int id, const IntRect& rect, const char16_t* text, const char16_t* tooltip = nullptr);
    ListBox* AddListBox(int id, const IntRect& rect, const char16_t* tooltip = nullptr);
    DialogControl* FindControl(int id) const;
    DialogControl* FirstControl() const { return controls_; }

    int GetId() const { return id_; }
    const WideString& GetTitle() const { return title_; }
    WideString GetTitleCopy() const { return title_; }
    void SetTitle(const WideString& title) { title_.Assign(title); }
    const IntRect& GetRect() const { return rect_; }
    void SetRect(const IntRect& rect) { rect_ = rect; }
    bool IsShown() const { return shown_; }
    bool IsExclusive() const { return exclusive_; }
    bool HasKeyboard() const { return keyboard_; }
    bool IsDirectional() const { return directional_; }
    BitmapFont* GetFont() const { return font_; }
    void SetFont(BitmapFont* font) { font_ = font; }
    void SetOrigin(int x, int y) {
        originX_ = x;
        originY_ = y;
    }
    // The rectangle on screen: the rectangle moved by the origin offsets.
    IntRect ScreenRect() const;
    const DialogInputSnapshot& GetInputSnapshot() const { return snapshot_; }
    DialogControl* GetFocusedControl() const { return focused_; }

    // Focus: every control loses focus and focus time, then this one gets it (null: none).
    void GiveFocus(DialogControl* control);
    // Towards earlier-added controls when forward, else towards later-added ones; the next enabled control in
    // that direction takes focus, else focus stays. Without focus: the newest enabled control, else the newest.
    void MoveFocusInListOrder(bool forward);
    // To the nearest enabled control strictly on the side of (dx, dy), the offset across the movement weighing
    // as its square; none: focus stays. Without focus as in list order.
    void MoveFocusByDirection(int dx, int dy);

    // Sends an event to the callback (0 without one).
    int Send(int event, int a, int b, const IntRect* rect);
    // Sends and tells whether this dialog still exists afterwards; result receives the callback's result.
    bool SendChecked(int event, int a, int b, const IntRect* rect, int& result);

    // The per-frame passes and drawing (dialog_system.cpp runs them); false when the dialog went away.
    bool PointerPass();
    bool KeyboardPass();
    bool Draw(RenderTargetBase& target);

    // The slider and list box a drag holds, if any.
    Slider* DraggedSlider() const { return draggedSlider_; }
    ListBox* DraggedList() const { return draggedList_; }

private:
    // The earliest-added enabled control whose screen rectangle holds the point.
    DialogControl* ControlAt(int x, int y) const;
    void FocusFirstEnabled();
    bool KeyboardSelect(DialogControl* focused);
    bool KeyboardMove(int list, int notice, int dx, int dy);
    bool DrawControls(RenderTargetBase& target);
    bool DrawTooltip(RenderTargetBase& target);
    template <typename Control>
    Control* AddControl(int id, const IntRect& rect, const char16_t* text, const char16_t* tooltip);

    int id_ = 0;
    BitmapFont* font_ = nullptr;
    IntRect rect_;
    bool exclusive_ = false;
    bool shown_ = false;
    WideString title_;
    Callback callback_;
    DialogControl* controls_ = nullptr;
    DialogControl* focused_ = nullptr;
    bool keyboard_ = false;
    bool directional_ = false;
    int originX_ = 0;
    int originY_ = 0;
    Slider* draggedSlider_ = nullptr;
    ListBox* draggedList_ = nullptr;
    DialogControl* lastHovered_ = nullptr;
    DialogInputSnapshot snapshot_;
};

}  // namespace engine
