#include "engine/gui/dialog_system.h"

#include "engine/core/frame_timer.h"
#include "engine/gui/dialog.h"
#include "engine/gui/gui_state.h"
#include "engine/gui/queued_text.h"
#include "engine/platform/engine_hooks.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/input_device.h"

namespace engine {

GuiState& Gui() {
    static GuiState state;
    return state;
}

InputDevice* GuiInput() {
    if (Gui().input != nullptr) return Gui().input;
    const Engine* engine = GetEngine();
    return engine != nullptr ? engine->GetInputDevice(0) : nullptr;
}

FrameTimer* GuiTimer() {
    if (Gui().timer != nullptr) return Gui().timer;
    const Engine* engine = GetEngine();
    return engine != nullptr ? engine->GetTimer() : nullptr;
}

float GuiFrameSeconds() {
    const FrameTimer* timer = GuiTimer();
    return timer != nullptr ? timer->GetDeltaSeconds(true) : 0.0f;
}

std::uint32_t GuiMilliseconds() {
    const FrameTimer* timer = GuiTimer();
    return timer != nullptr ? static_cast<std::uint32_t>(static_cast<std::uint64_t>(timer->GetMilliseconds())) : 0;
}

bool DialogRef::Alive(const Dialog* dialog) const {
    if (slot < 0 || slot >= kDialogSlotCount) return false;
    const GuiState& gui = Gui();
    return gui.slots[static_cast<std::size_t>(slot)] == dialog &&
           gui.generations[static_cast<std::size_t>(slot)] == generation;
}

void InitDialogSystem() {
    GuiState& gui = Gui();
    InputDevice* input = gui.input;
    FrameTimer* timer = gui.timer;
    BitmapFont* font = gui.font;
    const auto generations = gui.generations;
    gui = GuiState{};
    // Services and the font are set from outside and outlive a restart; generations only ever grow.
    gui.input = input;
    gui.timer = timer;
    gui.font = font;
    gui.generations = generations;
    for (auto& generation : gui.generations) ++generation;
    gui.keys.Build();
}

void FreeNavigationKeys() { Gui().keys.Free(); }

namespace {

bool InShownDialog(int x, int y) {
    for (const Dialog* dialog : Gui().slots) {
        if (dialog != nullptr && dialog->IsShown() && dialog->ScreenRect().Contains(x, y)) return true;
    }
    return false;
}

}  // namespace

void UpdateDialogs() {
    GuiState& gui = Gui();
    InputDevice* input = GuiInput();
    if (input == nullptr) return;
    if (gui.active != nullptr && gui.active->HasKeyboard()) gui.active->KeyboardPass();

    input->GetMousePosition(gui.pointerX, gui.pointerY, false);
    const bool down = input->PeekKey(kKeyMouseLeft).down != 0;
    gui.previousPressed = gui.pressed;
    if (!down) {
        gui.suppressed = false;
        gui.outside = false;
        gui.pressed = false;
    } else if (gui.suppressed) {
        gui.pressed = false;
    } else {
        if (!gui.buttonWasDown) gui.outside = !InShownDialog(gui.pointerX, gui.pointerY);
        gui.pressed = !gui.outside;
    }
    gui.buttonWasDown = down;

    bool anyExclusive = false;
    for (const Dialog* dialog : gui.slots) {
        if (dialog != nullptr && dialog->IsShown() && dialog->IsExclusive()) anyExclusive = true;
    }
    for (int slot = 0; slot < kDialogSlotCount; ++slot) {
        Dialog* dialog = gui.slots[static_cast<std::size_t>(slot)];
        if (dialog == nullptr || !dialog->IsShown() || (anyExclusive && !dialog->IsExclusive())) continue;
        dialog->PointerPass();
    }
    if (!gui.pressed) {
        gui.pressDialogId = 0;
        gui.pressControlId = 0;
    }
}

void DrawAllDialogs(RenderTargetBase& target) {
    GuiState& gui = Gui();
    for (int slot = 0; slot < kDialogSlotCount; ++slot) {
        Dialog* dialog = gui.slots[static_cast<std::size_t>(slot)];
        if (dialog != nullptr && dialog->IsShown() && dialog != gui.active) dialog->Draw(target);
    }
    if (gui.active != nullptr && gui.active->IsShown()) gui.active->Draw(target);
}

void HideAllDialogs() {
    GuiState& gui = Gui();
    for (Dialog* dialog : gui.slots) {
        if (dialog != nullptr && dialog->IsShown()) dialog->Show(false);
    }
}

void SetDialogFont(BitmapFont* font) { Gui().font = font; }
BitmapFont* GetDialogFont() { return Gui().font; }
Dialog* GetActiveDialog() { return Gui().active; }

Dialog* GetDialog(int id) {
    if (id < 1 || id > kDialogSlotCount) return nullptr;
    return Gui().slots[static_cast<std::size_t>(id - 1)];
}

void GetGuiPointer(int& x, int& y) {
    x = Gui().pointerX;
    y = Gui().pointerY;
}

void SetDialogInput(InputDevice* input) { Gui().input = input; }
void SetDialogTimer(FrameTimer* timer) { Gui().timer = timer; }

void InstallDialogHooks() {
    InstallQueuedTextDrawer();
    GuiHooks hooks;
    hooks.init = [] {
        InitDialogSystem();
        return true;
    };
    hooks.update = UpdateDialogs;
    hooks.freeNavigationKeys = FreeNavigationKeys;
    InstallGuiHooks(std::move(hooks));
}

}  // namespace engine
