#include "game/screens/message_banner.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/gui/bitmap_font.h"
#include "engine/render/render_target.h"
#include "game/screens/screen_draw.h"

namespace game {
namespace {

constexpr int kStateBetweenTurns = 6;
constexpr float kQuarterTurn = std::numbers::pi_v<float> * 0.5f;
constexpr int kEdgeRow = 648;
constexpr int kEdgeHeight = 8;

std::uint32_t Black(int alpha) { return static_cast<std::uint32_t>(alpha & 0xFF) << 24; }

}  // namespace

MessageBanner::MessageBanner(ScreenServices& services)
    : services_(services), width_(static_cast<int>(static_cast<float>(services.ScreenWidth()) * 0.4f)) {}

void MessageBanner::Show(const engine::WideString& text, float seconds) {
    const bool betweenTurns = services_.game != nullptr && services_.game->GetState() == kStateBetweenTurns;
    const bool intros =
        services_.profile != nullptr && (services_.profile->GetOptionFlags() & kOptionMissionIntros) != 0;
    if (betweenTurns && !intros) return;
    timeLeft_ = seconds;
    total_ = seconds;
    text_.Clear();
    if (engine::BitmapFont* font = services_.Font(FontId::kMain)) text_.Wrap(*font, text, width_ - 20);
    services_.PlayUiSound(kUiTextPopup);
}

float MessageBanner::ScaleAt(float elapsed, float total) {
    if (elapsed < 0.2f) return 1.2f * std::sin(elapsed * 5.0f * kQuarterTurn);
    if (elapsed > total - 0.1f) return std::sin((total - elapsed) * 10.0f * kQuarterTurn);
    return 1.0f;
}

void MessageBanner::Draw() {
    if (timeLeft_ == 0.0f) return;
    timeLeft_ -= services_.FrameSeconds();
    if (timeLeft_ < 0.0f) {
        timeLeft_ = 0.0f;
        return;
    }
    const float s = ScaleAt(total_ - timeLeft_, total_);
    if (s == 0.0f) return;
    const int spacing = LineSpacing(services_, FontId::kMain);
    const int lines = text_.GetLineCount();
    const int panelHeight = lines * spacing + 20;
    const int screenWidth = services_.ScreenWidth();
    const int cy = static_cast<int>(static_cast<float>(services_.ScreenHeight()) * 0.6f);
    const int h = static_cast<int>(static_cast<float>(panelHeight) * s * 0.5f);
    const float a = std::min(s, 1.0f);
    const int left = screenWidth / 2 - width_ / 2;
    if (engine::RenderTargetBase* target = services_.target) {
        const std::uint32_t edge = Black(0x40);
        const std::uint32_t middle = Black(128 + static_cast<int>(a * 127.0f));
        target->FillRectGradient({left, cy - h, width_, h}, edge, edge, middle, middle, kBlendAlpha);
        target->FillRectGradient({left, cy, width_, h}, middle, middle, edge, edge, kBlendAlpha);
    }
    // The edge lines come from the middle of the sheet's row, however wide the screen.
    int sheetWidth = 0;
    int sheetHeight = 0;
    const std::uint32_t zoomer = services_.art[kArtZoomer];
    if (services_.textures != nullptr && services_.textures->GetSize(zoomer, sheetWidth, sheetHeight)) {
        const int lineWidth = std::min(width_, sheetWidth);
        const engine::IntRect source{(sheetWidth - lineWidth) / 2, kEdgeRow, lineWidth, kEdgeHeight};
        const int x = screenWidth / 2 - lineWidth / 2;
        DrawArt(services_, kArtZoomer, source, {x, cy - h - 4, lineWidth, kEdgeHeight});
        DrawArt(services_, kArtZoomer, source, {x, cy + h - 4, lineWidth, kEdgeHeight});
    }
    if (s != 1.0f) return;
    int y = cy - ((lines - 1) * spacing) / 2;
    for (int i = 0; i < lines; ++i, y += spacing) {
        DrawScreenText(services_, FontId::kMain, text_.GetLine(i), screenWidth / 2, y, kAlignCentre | kAlignMiddle);
    }
}

}  // namespace game
