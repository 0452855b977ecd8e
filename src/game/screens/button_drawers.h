#pragma once
// The button drawers every zone shares. A zone's DrawControl calls one and returns 1, so the engine never
// draws its own button. A control's user value is its icon index (ButtonIconRect); the grow amount g (made
// even) enlarges the art by g and moves it up-left by g / 2 while a menu opens.
#include <cstdint>

#include "engine/core/int_rect.h"
#include "game/screens/screen_services.h"

namespace engine {
class DialogControl;
class Slider;
}  // namespace engine

namespace game {

// The icon index a control carries as its user value.
int ControlIcon(const engine::DialogControl& control);

// The menu plate with its icon back, icon and label. Mirrored on the right half of the screen; inset and lit
// when pressed or highlighted; grey with the disabled label colour when disabled; no label while growing.
void DrawMenuButton(const ScreenServices& services, const engine::DialogControl& control,
                    const engine::IntRect& rect, int grow, bool highlight);
void DrawCampaignMapButton(const ScreenServices& services, const engine::DialogControl& control,
                           const engine::IntRect& rect);
void DrawSliderControl(const ScreenServices& services, const engine::Slider& slider, const engine::IntRect& rect,
                       int grow);
// The HUD plate in the colour and the icon in white at the colour's alpha.
void DrawHudButton(const ScreenServices& services, const engine::DialogControl& control, const engine::IntRect& rect,
                   std::uint32_t colour);
void DrawChoiceButton(const ScreenServices& services, const engine::DialogControl& control,
                      const engine::IntRect& rect, int grow, std::uint32_t colour);
void DrawComicButton(const ScreenServices& services, const engine::DialogControl& control,
                     const engine::IntRect& rect);
// The menu button of a save slot (highlighted when it is the selected slot) with the slot's three texts, or
// "Empty Slot" for a slot not in use.
void DrawSaveSlotButton(const ScreenServices& services, const engine::DialogControl& control,
                        const engine::IntRect& rect, int slot, int selectedSlot);

}  // namespace game
