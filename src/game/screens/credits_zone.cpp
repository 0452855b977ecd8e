#include "game/screens/credits_zone.h"

#include <cmath>
#include <utility>

#include "engine/gui/bitmap_font.h"
#include "engine/gui/dialog.h"
#include "engine/gui/dialog_control.h"
#include "engine/platform/script_reader.h"
#include "game/screens/button_drawers.h"
#include "game/screens/screen_draw.h"
#include "game/screens/zone_layout.h"

namespace game {
namespace {

constexpr int kMainMenuState = 5;

void CloseToMainMenu(MenuZone& zone) {
    CloseZone(zone);
    if (ScreenGame* game = zone.Services().game) game->SetState(kMainMenuState);
}

// The colour's channels scaled by alpha / 256, with the alpha in the top byte.
std::uint32_t Faded(std::uint32_t colour, int alpha) {
    const auto channel = [&](int shift) { return ((colour >> shift) & 0xFFu) * static_cast<std::uint32_t>(alpha) / 256u; };
    return (static_cast<std::uint32_t>(alpha) << 24) | (channel(16) << 16) | (channel(8) << 8) | channel(0);
}

}  // namespace

CreditsZone::CreditsZone(ScreenServices& services)
    : MenuZone(services, {{kDoneId, "GEN_DONE", 7, {}, 6, CloseToMainMenu}}, std::nullopt) {}

int CreditsZone::OnShow(bool shown) {
    if (shown) {
        if (!lines_) ReadCredits();
        picture_.Hold(Services());
        passStart_ = Services().ClockSeconds();
    } else {
        picture_.LetGo();
    }
    return 0;
}

int CreditsZone::OnKey(int code) {
    if (code != engine::kNoticeBack) return 0;
    CloseToMainMenu(*this);
    return 1;
}

int CreditsZone::DrawControl(int controlId, const engine::IntRect& rect) {
    const engine::DialogControl* control = Control(controlId);
    if (control == nullptr) return 0;
    DrawMenuButton(Services(), *control, rect, 0, false);
    return 1;
}

void CreditsZone::ReadCredits() {
    engine::BitmapFont* font = Services().Font(FontId::kMed);
    engine::ScriptReader reader;
    if (font == nullptr || reader.Load("Credits_NoURL") == 0) return;
    lines_.emplace();
    lines_->Wrap(*font, reader.GetText(), kWrapWidth);
}

void CreditsZone::DrawMenuContents(ZoneWindow& window) {
    const engine::IntRect dialog = window.GetRect();
    DrawPanelPicture(Services(), picture_.Handle(), dialog);
    if (!lines_) return;
    engine::IntRect area = BaseRect({40, 100, 426, 500});
    area.x += dialog.x;
    area.y += dialog.y;
    DrawScroll(area);
}

void CreditsZone::DrawScroll(const engine::IntRect& area) {
    ScreenServices& services = Services();
    engine::BitmapFont* font = services.Font(FontId::kMed);
    if (font == nullptr) return;
    const int height = font->GetLineSpacing();
    if (height <= 0) return;
    // Whole milliseconds keep the line steps exact: 9.1 s is 13 lines, not 12.999.
    const float seconds = services.ClockSeconds() - passStart_;
    const int elapsed = seconds > 0.0f ? static_cast<int>(std::lround(seconds * 1000.0f)) : 0;
    const int first = elapsed / kMillisecondsPerLine - kVisibleLines;
    const int sub = (elapsed % kMillisecondsPerLine) * height / kMillisecondsPerLine;
    const int top = area.y + area.height / 2 - (kVisibleLines - 2) * height / 2;
    const int centreX = area.x + area.width / 2;
    const int count = lines_->GetLineCount();

    for (int i = 0; i < kVisibleLines; ++i) {
        const int k = first + i;
        if (k < 0 || k >= count) continue;
        int alpha = 255;
        if (i == 0) alpha = 255 - sub * 255 / height;
        if (i == kVisibleLines - 1) alpha = sub * 255 / height;
        engine::WideString line = lines_->GetLine(k);
        std::uint32_t colour = kTextColour;
        if (line.Data()[0] == u'#') {
            colour = kHeadingColour;
            engine::WideString rest;
            rest.AssignWide(line.Data() + 1);
            line = std::move(rest);
        }
        font->SetColour(0, Faded(colour, alpha));
        DrawScreenText(services, FontId::kMed, line, centreX, top + i * height - sub, kAlignCentre);
    }
    font->SetColour(0, kTextColour);

    if (count < first) {
        if (services.achievements != nullptr) services.achievements->Unlock(0);
        passStart_ = services.ClockSeconds();
    }
}

}  // namespace game
