// The per-frame input passes of one dialog: the pointer pass (hover, press, release, slider and list drags) and
// the keyboard pass of the active dialog (select, focus moves, slider steps, back). Every callback may destroy
// the dialog; each pass stops as soon as it did.
#include <algorithm>

#include "engine/gui/dialog.h"
#include "engine/gui/dialog_control.h"
#include "engine/gui/gui_state.h"
#include "engine/gui/list_box.h"
#include "engine/gui/slider.h"
#include "engine/platform/input_device.h"

namespace engine {
namespace {

// Ends the press for the rest of the frame and until the button is released.
void SuppressPress() {
    GuiState& gui = Gui();
    gui.suppressed = true;
    gui.pressed = false;
}

}  // namespace

bool Dialog::PointerPass() {
    GuiState& gui = Gui();
    InputDevice* input = GuiInput();
    const DialogRef ref{id_ - 1, gui.generations[static_cast<std::size_t>(id_ - 1)]};
    int result = 0;
    const int x = gui.pointerX;
    const int y = gui.pointerY;
    const int dialogX = rect_.x + originX_;
    const int dialogY = rect_.y + originY_;

    // The press as it stands when this dialog's turn comes: a callback of this dialog that shows a dialog makes
    // the press new only for the dialogs handled after this one.
    bool pressed = gui.pressed;
    const bool wasPressed = gui.previousPressed;
    auto suppress = [&pressed] {
        SuppressPress();
        pressed = false;
    };
    snapshot_ = DialogInputSnapshot{x, y, static_cast<std::uint16_t>(pressed ? 1 : 0)};
    if (input == nullptr || !input->IsEnabled() || !input->HasPointer()) {
        draggedSlider_ = nullptr;
        return true;
    }

    if (draggedSlider_ != nullptr) {
        Slider* slider = draggedSlider_;
        input->ReadKey(kKeyMouseLeft);
        const int position = slider->PositionAt(slider->TrackOffset(dialogX, dialogY, x, y));
        if (position != slider->GetPosition()) {
            slider->SetPosition(position);
            if (!SendChecked(kEventSliderMoved, slider->GetId(), position, nullptr, result)) return false;
        }
        if (!pressed) {
            draggedSlider_ = nullptr;
            if (!SendChecked(kEventReleased, slider->GetId(), slider->GetPosition(), nullptr, result)) return false;
        }
        return true;
    }

    if (ScreenRect().Contains(x, y)) input->ReadKey(kKeyMouseLeft);

    DialogControl* under = ControlAt(x, y);
    const float frameSeconds = GuiFrameSeconds();
    for (DialogControl* c = controls_; c != nullptr; c = c->Next()) {
        c->SetHovered(false);
        if (!c->IsPressedBySelectKey()) c->SetPressed(false);
        c->SetTime(c == under ? c->GetTime() + frameSeconds : 0.0f);
    }

    if (gui.outside) return true;

    if (pressed && !wasPressed) {
        if (!SendChecked(kEventNavigate, kNoticePress, 0, nullptr, result)) return false;
        if (result != 0) suppress();
    }

    if (draggedList_ != nullptr) {
        ListBox* list = draggedList_;
        const IntRect listRect = list->ScreenRect(dialogX, dialogY);
        if (pressed) {
            list->FollowDrag(y - listRect.y);
        } else {
            draggedList_ = nullptr;
            const int row = list->EndDrag(listRect.Contains(x, y), y - listRect.y);
            if (row >= 0 && !SendChecked(kEventReleased, list->GetId(), row, nullptr, result)) return false;
        }
    }

    if (under == nullptr) {
        lastHovered_ = nullptr;
        return true;
    }
    under->SetHovered(true);
    if (!SendChecked(kEventHover, under->GetId(), 0, nullptr, result)) return false;
    if (under != lastHovered_) {
        lastHovered_ = under;
        if (!SendChecked(kEventHoverChanged, under->GetId(), 0, nullptr, result)) return false;
    }

    if (pressed) {
        input->ReadKey(kKeyMouseLeft);
        if (under->IsFocused()) under->SetPressed(true);
        auto* list = under->GetType() == kControlListBox ? static_cast<ListBox*>(under) : nullptr;
        const IntRect underRect = under->ScreenRect(dialogX, dialogY);
        if (list != nullptr && !list->IsDragging()) {
            list->BeginDrag(y - underRect.y);
            draggedList_ = list;
        }
        if (!wasPressed) {
            if (focused_ != under) {
                GiveFocus(under);
                if (!SendChecked(kEventFocus, under->GetId(), 0, nullptr, result)) return false;
            }
            gui.pressDialogId = id_;
            gui.pressControlId = under->GetId();
            if (under->GetType() == kControlSlider) {
                auto* slider = static_cast<Slider*>(under);
                if (slider->GetPositionCount() >= 2) {
                    draggedSlider_ = slider;
                    const int position = slider->PositionAt(slider->TrackOffset(dialogX, dialogY, x, y));
                    if (position != slider->GetPosition()) {
                        slider->SetPosition(position);
                        if (!SendChecked(kEventSliderMoved, slider->GetId(), position, nullptr, result)) return false;
                    }
                }
            }
            if (!SendChecked(kEventPressed, under->GetId(), 0, nullptr, result)) return false;
            if (result != 0) suppress();
        }
    } else if (wasPressed) {
        if (gui.pressDialogId == id_ && gui.pressControlId == under->GetId()) {
            gui.pressDialogId = 0;
            gui.pressControlId = 0;
            if (under->GetType() == kControlListBox) {
                auto* list = static_cast<ListBox*>(under);
                const IntRect listRect = list->ScreenRect(dialogX, dialogY);
                if (draggedList_ == list) draggedList_ = nullptr;
                const int row = list->EndDrag(true, y - listRect.y);
                if (row >= 0 && !SendChecked(kEventReleased, list->GetId(), row, nullptr, result)) return false;
            } else if (!SendChecked(kEventReleased, under->GetId(), 0, nullptr, result)) {
                return false;
            }
        }
    }
    return ref.Alive(this);
}

bool Dialog::KeyboardSelect(DialogControl* focused) {
    GuiState& gui = Gui();
    InputDevice* input = GuiInput();
    const NavigationState select = gui.keys.Read(*input, kNavigateSelect);
    if (focused == nullptr) return true;
    int result = 0;
    if (select.down) {
        focused->SetPressed(true);
        focused->SetPressedBySelectKey(true);
    } else if (focused->IsPressedBySelectKey()) {
        focused->SetPressed(false);
        focused->SetPressedBySelectKey(false);
    }
    if (select.pressed) {
        if (!SendChecked(kEventNavigate, kNoticePress, 0, nullptr, result)) return false;
        if (result == 0 && !SendChecked(kEventPressed, focused->GetId(), 0, nullptr, result)) return false;
    }
    if (select.released) {
        const int b = focused->GetType() == kControlListBox ? static_cast<ListBox*>(focused)->GetSelection() : 0;
        if (!SendChecked(kEventReleased, focused->GetId(), b, nullptr, result)) return false;
    }
    return true;
}

bool Dialog::KeyboardMove(int list, int notice, int dx, int dy) {
    GuiState& gui = Gui();
    if (!gui.keys.Read(*GuiInput(), list).pressed) return true;
    int result = 0;
    if (!SendChecked(kEventNavigate, notice, 0, nullptr, result)) return false;
    if (result != 0) return true;
    DialogControl* focused = focused_ != nullptr && focused_->IsEnabled() ? focused_ : nullptr;
    if (dy != 0) {
        if (focused != nullptr && focused->GetType() == kControlListBox) {
            auto* listBox = static_cast<ListBox*>(focused);
            if (dy < 0) {
                listBox->SelectPrevious();
            } else {
                listBox->SelectNext();
            }
            return true;
        }
        if (directional_) {
            MoveFocusByDirection(0, dy);
        } else {
            MoveFocusInListOrder(dy < 0);
        }
    } else {
        if (focused != nullptr && focused->GetType() == kControlSlider) {
            auto* slider = static_cast<Slider*>(focused);
            const int position = slider->GetPosition() + dx;
            if (position >= 0 && position < slider->GetPositionCount()) {
                slider->SetPosition(position);
                return SendChecked(kEventSliderMoved, slider->GetId(), position, nullptr, result);
            }
            return true;
        }
        if (!directional_) return true;
        MoveFocusByDirection(dx, 0);
    }
    if (focused_ == nullptr) return true;
    return SendChecked(kEventFocus, focused_->GetId(), 0, nullptr, result);
}

bool Dialog::KeyboardPass() {
    InputDevice* input = GuiInput();
    if (input == nullptr) return true;
    DialogControl* focused = focused_ != nullptr && focused_->IsEnabled() ? focused_ : nullptr;
    if (!KeyboardSelect(focused)) return false;
    if (!KeyboardMove(kNavigateUp, kNoticeUp, 0, -1)) return false;
    if (!KeyboardMove(kNavigateDown, kNoticeDown, 0, 1)) return false;
    if (!KeyboardMove(kNavigateLeft, kNoticeLeft, -1, 0)) return false;
    if (!KeyboardMove(kNavigateRight, kNoticeRight, 1, 0)) return false;
    int result = 0;
    if (Gui().keys.Read(*input, kNavigateBack).pressed) {
        return SendChecked(kEventNavigate, kNoticeBack, 0, nullptr, result);
    }
    return true;
}

}  // namespace engine
