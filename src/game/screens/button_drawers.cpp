#include "game/screens/button_drawers.h"

#include <cstring>
#include <string>

#include "engine/gui/dialog.h"
#include "engine/gui/dialog_control.h"
#include "engine/gui/slider.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"

namespace game {
namespace {

const engine::IntRect kMenuPlate{168, 0, 384, 112};
const engine::IntRect kCampaignPlate{682, 0, 300, 112};
const engine::IntRect kIconBack{0, 0, 114, 110};
const engine::IntRect kSliderTrack{122, 502, 430, 50};
const engine::IntRect kHudPlate{256, 0, 112, 112};
const engine::IntRect kChoicePlate{0, 550, 200, 112};
constexpr int kIconSize = 70;
constexpr int kLabelIndent = 120;
constexpr int kThumbIcon = 19;

// A rectangle of the size whose centre is (cx, cy).
engine::IntRect CentredOn(int cx, int cy, int w, int h) { return {cx - w / 2, cy - h / 2, w, h}; }

// The rectangle drawn right to left. A negative width flips the art but still covers x to x + |width|, so the
// left edge stays where it is.
engine::IntRect Mirrored(engine::IntRect rect) {
    rect.width = -rect.width;
    return rect;
}

// The icon back at the left (or right) edge of the rect with the control's icon centred on it.
void DrawBackAndIcon(const ScreenServices& services, const engine::DialogControl& control, int edgeX, int centreY,
                     int grow, bool atRight, bool lit) {
    const int w = kIconBack.width + grow;
    const int h = kIconBack.height + grow;
    const int x = atRight ? edgeX - w + grow / 2 : edgeX - grow / 2;
    const engine::IntRect back{x, centreY - h / 2, w, h};
    DrawArtLit(services, kArtButtonBits, kIconBack, back, kOpaqueWhite, lit);
    const int icon = kIconSize + grow;
    DrawArt(services, kArtButtonBits, ButtonIconRect(ControlIcon(control)),
            CentredOn(back.x + back.width / 2, back.y + back.height / 2, icon, icon));
}

// The plate, back, icon and label shared by the menu and campaign-map buttons.
void DrawPlateButton(const ScreenServices& services, const engine::DialogControl& control,
                     const engine::IntRect& rect, const engine::IntRect& plateSource, int grow, bool mirrored,
                     bool shrink, bool plateLit, bool backLit, const char* labelPrefix) {
    grow &= ~1;
    const bool enabled = control.IsEnabled();
    const std::uint32_t colour = enabled ? kOpaqueWhite : kDisabledGrey;
    const int centreY = rect.y + rect.height / 2 + 2;
    const int w = plateSource.width + grow;
    const int h = plateSource.height + grow;
    engine::IntRect plate{mirrored ? rect.x - grow / 2 : rect.x + rect.width - w + grow / 2, centreY - h / 2, w, h};
    if (shrink) plate = InsetRect(plate, 4);
    DrawArtLit(services, kArtButtonBits, plateSource, mirrored ? Mirrored(plate) : plate, colour, plateLit);
    const int edge = mirrored ? rect.x + rect.width : rect.x;
    DrawBackAndIcon(services, control, edge, centreY, grow, mirrored, backLit);
    if (grow != 0) return;
    const engine::WideString label = Prefixed(labelPrefix, control.GetText());
    const int middle = rect.y + rect.height / 2;
    if (mirrored) {
        DrawScreenText(services, FontId::kLarge, label, edge - kLabelIndent, middle, kAlignRight | kAlignMiddle);
    } else {
        DrawScreenText(services, FontId::kLarge, label, edge + kLabelIndent, middle, kAlignLeft | kAlignMiddle);
    }
}

// The text of a fixed-size 8-bit field, up to its terminating zero or its end.
engine::WideString FieldText(std::span<const char> field) {
    if (field.empty()) return {};
    const std::string bytes(field.data(), ::strnlen(field.data(), field.size()));
    return engine::WideString(bytes.c_str());
}

}  // namespace

int ControlIcon(const engine::DialogControl& control) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(control.GetUserData()));
}

void DrawMenuButton(const ScreenServices& services, const engine::DialogControl& control,
                    const engine::IntRect& rect, int grow, bool highlight) {
    const bool mirrored = rect.x > services.ScreenWidth() / 2 - 100;
    const bool pressedLook = control.IsPressed() || highlight;
    const bool lit = pressedLook || (control.IsHovered() && control.IsEnabled());
    const char* prefix = pressedLook ? "@C[4]" : (!control.IsEnabled() ? "@C[3]" : "");
    DrawPlateButton(services, control, rect, kMenuPlate, grow, mirrored, pressedLook, lit, pressedLook, prefix);
}

void DrawCampaignMapButton(const ScreenServices& services, const engine::DialogControl& control,
                           const engine::IntRect& rect) {
    const bool mirrored = rect.x > services.ScreenWidth() / 2 - 50;
    const bool pressed = control.IsPressed();
    const bool lit = pressed || (control.IsHovered() && control.IsEnabled());
    DrawPlateButton(services, control, rect, kCampaignPlate, 0, mirrored, pressed, lit, pressed, "");
}

void DrawSliderControl(const ScreenServices& services, const engine::Slider& slider, const engine::IntRect& rect,
                       int grow) {
    grow &= ~1;
    const bool mirrored = rect.x > services.ScreenWidth() / 2 - 100;
    const std::uint32_t colour = slider.IsEnabled() ? kOpaqueWhite : kDisabledGrey;
    const int centreY = rect.y + rect.height / 2;
    const engine::IntRect track{mirrored ? rect.x : rect.x - 108, centreY - kSliderTrack.height / 2,
                                kSliderTrack.width, kSliderTrack.height};
    DrawArt(services, kArtButtonBits, kSliderTrack, mirrored ? Mirrored(track) : track, colour);
    // The back and icon sit at the track's outer end: its left end, or its right end when mirrored.
    const int outer = mirrored ? track.x + track.width : track.x;
    const bool pressed = slider.IsPressed();
    DrawBackAndIcon(services, slider, outer, centreY, grow, mirrored, pressed);
    const engine::Dialog* dialog = slider.GetDialog();
    const int dialogX = dialog != nullptr ? dialog->GetRect().x : 0;
    const engine::IntRect& thumb = slider.GetThumbRect();
    DrawArt(services, kArtButtonBits, ButtonIconRect(kThumbIcon),
            CentredOn(dialogX + thumb.x + thumb.width / 2, centreY, kIconSize, kIconSize));
    // The texts stand at the track's far end from the back, aligned inwards so that they read over the track.
    const int labelX = mirrored ? track.x : track.x + track.width;
    const int labelAlign = mirrored ? kAlignLeft : kAlignRight;
    DrawScreenText(services, FontId::kMain, Prefixed("@C[4]", slider.GetText()), labelX, track.y - 10,
                   labelAlign | kAlignBottom);
    DrawScreenText(services, FontId::kMain, slider.GetTooltip(), labelX, track.y + 66, labelAlign);
}

void DrawHudButton(const ScreenServices& services, const engine::DialogControl& control, const engine::IntRect& rect,
                   std::uint32_t colour) {
    DrawArtLit(services, kArtIngameUi, kHudPlate, {rect.x, rect.y, kHudPlate.width, kHudPlate.height}, colour,
               control.IsPressed());
    const std::uint32_t iconColour = (colour & 0xFF000000u) | 0x00FFFFFFu;
    DrawArt(services, kArtButtonBits, ButtonIconRect(ControlIcon(control)),
            CentredOn(rect.x + rect.width - 56, rect.y + rect.height / 2, kIconSize, kIconSize), iconColour);
}

void DrawChoiceButton(const ScreenServices& services, const engine::DialogControl& control,
                      const engine::IntRect& rect, int grow, std::uint32_t colour) {
    grow &= ~1;
    const engine::IntRect plate{rect.x - grow / 2, rect.y - grow / 2, rect.width + grow, rect.height + grow};
    DrawArtLit(services, kArtChoiceBack, kChoicePlate, plate, colour, control.IsPressed());
    DrawScreenText(services, FontId::kMain, control.GetText(), rect.x + rect.width / 2, rect.y + rect.height / 2,
                   kAlignCentre | kAlignMiddle);
}

void DrawComicButton(const ScreenServices& services, const engine::DialogControl& control,
                     const engine::IntRect& rect) {
    DrawBackAndIcon(services, control, rect.x, rect.y + rect.height / 2, 0, false, control.IsPressed());
}

void DrawSaveSlotButton(const ScreenServices& services, const engine::DialogControl& control,
                        const engine::IntRect& rect, int slot, int selectedSlot) {
    DrawMenuButton(services, control, rect, 0, slot == selectedSlot);
    const int x = rect.x + kLabelIndent;
    const int middle = rect.y + rect.height / 2;
    const SaveSlotTexts texts = services.profile != nullptr ? services.profile->GetSlotTexts(slot) : SaveSlotTexts{};
    if (!texts.inUse) {
        DrawScreenText(services, FontId::kMain, engine::WideString("Empty Slot"), x, middle, kAlignLeft);
        return;
    }
    DrawScreenText(services, FontId::kMain, FieldText(texts.description), x, middle - 21, kAlignLeft);
    DrawScreenText(services, FontId::kMain, FieldText(texts.title), x, middle + 2, kAlignLeft);
    DrawScreenText(services, FontId::kMain, Prefixed("@C[4]", FieldText(texts.date)), x, middle + 25, kAlignLeft);
}

}  // namespace game
