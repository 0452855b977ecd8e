#include "game/screens/move_choice_zone.h"

#include <algorithm>

#include "engine/gui/dialog_control.h"
#include "game/core/screen_rects.h"
#include "game/screens/button_drawers.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"

namespace game {
namespace {

constexpr int kWidth = 256;
constexpr int kBelowHud = 112;
constexpr int kEnabled = 0;
constexpr int kHidden = 2;

}  // namespace

MoveChoiceZone::MoveChoiceZone(ScreenServices& services) : Zone(services) {
    if (!CreateWindow(BaseRect({services.ScreenWidth() - kWidth, 0, kWidth, kWidth}))) return;
    GetWindow()->SetTitle(services.Text("MC_TITLE"));
    for (int i = 0; i < kMaxChoices; ++i) {
        AddButton(kFirstChoiceButton + i, BaseRect({24, 56 + 114 * i, 200, 112}), engine::WideString(), 0);
    }
}

const char* MoveChoiceZone::ChoiceKey(int value) {
    static constexpr const char* kKeys[] = {"MC_CANCEL",  "MC_MOVEOVER", "MC_MOVEUNDER",
                                            "MC_SELECTTAPPED", "MC_PICKUP", "MC_EMBARK",
                                            "MC_DISEMBARK", "MC_MOVEHERE", "MC_ATTACK"};
    return value >= 1 && value <= 9 ? kKeys[value - 1] : nullptr;
}

void MoveChoiceZone::OpenAt(int x, int y) {
    count_ = 0;
    anchorX_ = x;
    anchorY_ = y;
    Layout();
    SetShown(true, true);
    chosen_ = 0;
}

void MoveChoiceZone::AddChoice(int value) {
    if (count_ >= kMaxChoices) return;
    values_[static_cast<std::size_t>(count_)] = value;
    if (engine::DialogControl* button = Control(kFirstChoiceButton + count_)) {
        button->SetUserData(reinterpret_cast<void*>(static_cast<std::intptr_t>(value)));
        if (const char* key = ChoiceKey(value)) button->SetText(Services().Text(key));
    }
    ++count_;
    Layout();
}

engine::IntRect MoveChoiceZone::BackgroundSource() const {
    // Before the first choice, and for one or two, the smallest art.
    if (count_ >= 4) return {0, 0, kWidth, 540};
    if (count_ == 3) return {265, 0, kWidth, 420};
    return {530, 0, kWidth, 300};
}

void MoveChoiceZone::Layout() {
    ZoneWindow* window = GetWindow();
    if (window == nullptr) return;
    const ScreenServices& services = Services();
    engine::IntRect size{0, 0, kWidth, BackgroundSource().height};
    ScaleRectSize(size);
    int x = std::max(anchorX_ + 100, 0);
    int y = std::max(anchorY_ - size.height / 2, kBelowHud);
    if (x + size.width > services.ScreenWidth()) x = services.ScreenWidth() - size.width;
    if (y + size.height > services.ScreenHeight()) y = services.ScreenHeight() - size.height;
    for (int i = 0; i < kMaxChoices; ++i) {
        if (engine::DialogControl* button = Control(kFirstChoiceButton + i)) {
            button->SetDisabled(i < count_ ? kEnabled : kHidden);
        }
    }
    window->SetRect({x, y, size.width, size.height});
}

int MoveChoiceZone::Draw(bool afterControls) {
    if (afterControls || GetWindow() == nullptr) return 1;
    const engine::IntRect rect = GetWindow()->GetRect();
    DrawArt(Services(), kArtChoiceBack, BackgroundSource(), rect);
    DrawScreenText(Services(), FontId::kMain, GetWindow()->GetTitle(), rect.x + 122, rect.y + 18, kAlignCentre);
    return 1;
}

int MoveChoiceZone::DrawControl(int controlId, const engine::IntRect& rect) {
    const engine::DialogControl* control = Control(controlId);
    if (control == nullptr) return 0;
    DrawChoiceButton(Services(), *control, rect, 0, kOpaqueWhite);
    return 1;
}

int MoveChoiceZone::OnControl(bool pressed, int controlId) {
    // A press goes on to the engine, which would otherwise drop the release that makes the choice.
    if (pressed) return 0;
    const int index = controlId - kFirstChoiceButton;
    if (index >= 0 && index < count_) {
        Services().PlayUiSound(kUiClick);
        chosen_ = values_[static_cast<std::size_t>(index)];
    }
    return 1;
}

}  // namespace game
