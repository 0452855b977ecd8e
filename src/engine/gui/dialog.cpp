#include "engine/gui/dialog.h"

#include <cmath>
#include <new>

#include "engine/gui/bitmap_font.h"
#include "engine/gui/dialog_control.h"
#include "engine/gui/gui_state.h"
#include "engine/gui/list_box.h"
#include "engine/gui/slider.h"

namespace engine {
namespace {

int CentreX(const IntRect& rect) { return rect.x + rect.width / 2; }
int CentreY(const IntRect& rect) { return rect.y + rect.height / 2; }

}  // namespace

Dialog::~Dialog() {
    if (id_ != 0) Destroy();
}

bool Dialog::Init(const char16_t* title, int x, int y, int w, int h, Callback callback, bool keyboard,
                  bool directional) {
    GuiState& gui = Gui();
    if (id_ != 0) Destroy();
    int slot = 0;
    while (slot < kDialogSlotCount && gui.slots[static_cast<std::size_t>(slot)] != nullptr) ++slot;
    if (slot == kDialogSlotCount) return false;
    gui.slots[static_cast<std::size_t>(slot)] = this;
    id_ = slot + 1;
    font_ = gui.font;
    title_.Clear();
    if (title != nullptr) title_.AssignWide(title);
    rect_ = IntRect{x, y, w, h};
    callback_ = std::move(callback);
    keyboard_ = keyboard;
    directional_ = directional;
    controls_ = nullptr;
    focused_ = nullptr;
    shown_ = false;
    exclusive_ = false;
    originX_ = 0;
    originY_ = 0;
    draggedSlider_ = nullptr;
    draggedList_ = nullptr;
    lastHovered_ = nullptr;
    if (gui.active == this) gui.active = nullptr;
    Send(kEventCreated, 0, 0, nullptr);
    return true;
}

void Dialog::Destroy() {
    GuiState& gui = Gui();
    if (id_ == 0) return;
    const auto slot = static_cast<std::size_t>(id_ - 1);
    // Out of the slot first, so that a destroy callback that looks finds no half-destroyed dialog.
    if (gui.slots[slot] == this) {
        gui.slots[slot] = nullptr;
        ++gui.generations[slot];
    }
    if (gui.active == this) gui.active = nullptr;
    id_ = 0;
    shown_ = false;
    DialogControl* control = controls_;
    controls_ = nullptr;
    focused_ = nullptr;
    draggedSlider_ = nullptr;
    draggedList_ = nullptr;
    lastHovered_ = nullptr;
    while (control != nullptr) {
        DialogControl* next = control->Next();
        delete control;
        control = next;
    }
    title_.Clear();
}

int Dialog::Show(bool shown, bool exclusive) {
    GuiState& gui = Gui();
    shown_ = shown;
    if (shown) {
        gui.active = this;
        exclusive_ = exclusive;
    } else if (gui.active == this) {
        gui.active = nullptr;
    }
    if (focused_ != nullptr) {
        GiveFocus(focused_);
    } else {
        Button* earliest = nullptr;
        for (DialogControl* c = controls_; c != nullptr; c = c->Next()) {
            if (c->GetType() == kControlButton) earliest = static_cast<Button*>(c);
        }
        if (earliest != nullptr) GiveFocus(earliest);
    }
    gui.previousPressed = false;
    const IntRect rect = rect_;
    return Send(kEventShown, shown ? 1 : 0, 0, &rect);
}

template <typename Control>
Control* Dialog::AddControl(int id, const IntRect& rect, const char16_t* text, const char16_t* tooltip) {
    auto* control = new (std::nothrow) Control();
    if (control == nullptr) return nullptr;
    control->Init(rect, id, text, nullptr, this, nullptr, tooltip);
    control->SetNext(controls_);
    controls_ = control;
    return control;
}

Button* Dialog::AddButton(int id, const IntRect& rect, const char16_t* text, const char16_t* tooltip) {
    return AddControl<Button>(id, rect, text, tooltip);
}

Slider* Dialog::AddSlider(int id, const IntRect& rect, const char16_t* text, const char16_t* tooltip) {
    return AddControl<Slider>(id, rect, text, tooltip);
}

ListBox* Dialog::AddListBox(int id, const IntRect& rect, const char16_t* tooltip) {
    return AddControl<ListBox>(id, rect, nullptr, tooltip);
}

DialogControl* Dialog::FindControl(int id) const {
    for (DialogControl* c = controls_; c != nullptr; c = c->Next()) {
        if (c->GetId() == id) return c;
    }
    return nullptr;
}

IntRect Dialog::ScreenRect() const {
    return IntRect{rect_.x + originX_, rect_.y + originY_, rect_.width, rect_.height};
}

int Dialog::Send(int event, int a, int b, const IntRect* rect) {
    if (!callback_) return 0;
    // The callback may destroy this dialog: call a copy so that the function object outlives the call.
    const Callback callback = callback_;
    return callback(*this, event, a, b, rect);
}

bool Dialog::SendChecked(int event, int a, int b, const IntRect* rect, int& result) {
    const DialogRef ref{id_ - 1, id_ > 0 ? Gui().generations[static_cast<std::size_t>(id_ - 1)] : 0};
    result = Send(event, a, b, rect);
    return ref.Alive(this);
}

void Dialog::GiveFocus(DialogControl* control) {
    for (DialogControl* c = controls_; c != nullptr; c = c->Next()) {
        c->SetFocused(false);
        c->SetTime(0.0f);
    }
    focused_ = control;
    if (control != nullptr) control->SetFocused(true);
}

void Dialog::FocusFirstEnabled() {
    for (DialogControl* c = controls_; c != nullptr; c = c->Next()) {
        if (c->IsEnabled()) {
            GiveFocus(c);
            return;
        }
    }
    if (controls_ != nullptr) GiveFocus(controls_);
}

void Dialog::MoveFocusInListOrder(bool forward) {
    if (focused_ == nullptr) {
        FocusFirstEnabled();
        return;
    }
    DialogControl* found = nullptr;
    if (forward) {
        for (DialogControl* c = focused_->Next(); c != nullptr && found == nullptr; c = c->Next()) {
            if (c->IsEnabled()) found = c;
        }
    } else {
        // Later-added controls come before the focused one: the nearest is the last enabled one before it.
        for (DialogControl* c = controls_; c != nullptr && c != focused_; c = c->Next()) {
            if (c->IsEnabled()) found = c;
        }
    }
    if (found != nullptr) GiveFocus(found);
}

void Dialog::MoveFocusByDirection(int dx, int dy) {
    if (focused_ == nullptr) {
        FocusFirstEnabled();
        return;
    }
    const IntRect& from = focused_->GetRect();
    DialogControl* best = nullptr;
    double bestDistance = 1e10;
    for (DialogControl* c = controls_; c != nullptr; c = c->Next()) {
        if (c == focused_ || !c->IsEnabled()) continue;
        const IntRect& to = c->GetRect();
        if (dy < 0 && !(to.y < from.y)) continue;
        if (dy > 0 && !(to.y > from.y)) continue;
        if (dx < 0 && !(to.x < from.x)) continue;
        if (dx > 0 && !(to.x > from.x)) continue;
        double v = static_cast<double>(CentreY(to) - CentreY(from));
        double h = static_cast<double>(CentreX(to) - CentreX(from));
        if (dx != 0) v = v * v;
        if (dy != 0) h = h * h;
        const double distance = std::sqrt(v * v + h * h);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = c;
        }
    }
    if (best != nullptr) GiveFocus(best);
}

DialogControl* Dialog::ControlAt(int x, int y) const {
    DialogControl* found = nullptr;
    for (DialogControl* c = controls_; c != nullptr; c = c->Next()) {
        if (c->IsEnabled() && c->ScreenRect(rect_.x + originX_, rect_.y + originY_).Contains(x, y)) found = c;
    }
    return found;
}

}  // namespace engine
