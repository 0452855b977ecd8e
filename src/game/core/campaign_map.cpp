// The campaign map screen: a scrolled view onto the campaign's map picture that glides to the selected
// mission, can be dragged, shows a marker per mission with its medal and margin, and takes taps on the
// markers; beside it the selected mission's text fades in line by line.
#include <algorithm>
#include <cmath>

#include "engine/gui/bitmap_font.h"
#include "engine/render/render_target.h"
#include "game/core/campaign.h"
#include "game/core/player_profile.h"

namespace game {
namespace {

constexpr int kMarkerWidth = 138;
constexpr int kMarkerHeight = 128;
constexpr int kMarkerRow = 664;
constexpr int kMedalCell = 50;
constexpr int kFrameWidth = 960;
constexpr int kFrameHeight = 640;
constexpr float kGlideRate = 7.0f;
constexpr float kSnapDistance = 2.0f;
constexpr int kDragCancel = 6;
constexpr std::uint32_t kNoPicture = 0xFF404040u;
constexpr std::uint32_t kDoneColour = 0xFF1096DCu;
constexpr std::uint32_t kNextColour = 0xFF1EB41Eu;
constexpr std::uint32_t kOtherColour = 0xFFB41E1Eu;
constexpr std::uint32_t kPulseBright = 0xFFFFE600u;
constexpr std::uint32_t kPulseDim = 0xFF968C00u;
constexpr double kPulsePeriod = 0.5;
constexpr double kLineDelay = 0.1;
constexpr double kLineFade = 0.4;
constexpr std::uint32_t kTextStops[3] = {0x00FFFFFFu, 0xFFFFFFFFu, 0xFFFFFF40u};

std::uint32_t Mix(std::uint32_t a, std::uint32_t b, double t) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const double from = (a >> shift) & 0xFF;
        const double to = (b >> shift) & 0xFF;
        const auto channel = static_cast<std::uint32_t>(std::lround(from + (to - from) * t));
        out |= std::min<std::uint32_t>(channel, 255) << shift;
    }
    return out;
}

}  // namespace

void Campaign::SetScreenSize(int width, int height) {
    screenWidth_ = width;
    screenHeight_ = height;
}

void Campaign::ViewportRect(int screenWidth, int screenHeight, int& x, int& y) {
    x = screenWidth / 2 - 426;
    y = screenHeight / 2 - 213;
}

std::uint32_t Campaign::LineColour(int line, double sinceSelection) {
    const double start = kLineDelay * line;
    if (sinceSelection < start) return kTextStops[0];
    const double p = std::min(1.0, (sinceSelection - start) / kLineFade);
    return p < 0.5 ? Mix(kTextStops[0], kTextStops[1], p * 2.0) : Mix(kTextStops[1], kTextStops[2], p * 2.0 - 1.0);
}

void Campaign::StartMap(double now) {
    lastNow_ = now;
    const int difficulty = Difficulty();
    firstUnfinished_ = GetFirstUnfinished(difficulty);
    highestSelectable_ = difficulty == 0 ? firstUnfinished_ : std::max(count_ - 1, 0);
    viewState_ = 0;
    tapped_ = -1;
    SelectMission(firstUnfinished_);
}

void Campaign::ClampScroll() {
    scrollX_ = std::clamp(scrollX_, -static_cast<float>(kPictureSize - 1 - kViewWidth), 0.0f);
    scrollY_ = std::clamp(scrollY_, -static_cast<float>(kPictureSize - 1 - kViewHeight), 0.0f);
}

void Campaign::UpdateMap(const MapPointer& pointer, float dt, double now) {
    lastNow_ = now;
    int viewX = 0;
    int viewY = 0;
    ViewportRect(screenWidth_, screenHeight_, viewX, viewY);
    if (viewState_ == 0) {
        const CampaignMission& mission = GetMission(selected_);
        const float halfW = kViewWidth / 2.0f;
        const float halfH = kViewHeight / 2.0f;
        const float focusX = std::clamp(static_cast<float>(mission.markerX), halfW, kPictureSize - 1 - halfW);
        const float focusY = std::clamp(static_cast<float>(mission.markerY), halfH, kPictureSize - 1 - halfH);
        const float targetX = halfW - focusX;
        const float targetY = halfH - focusY;
        if (std::fabs(targetX - scrollX_) < kSnapDistance && std::fabs(targetY - scrollY_) < kSnapDistance) {
            scrollX_ = targetX;
            scrollY_ = targetY;
            viewState_ = 1;
        } else {
            scrollX_ += (targetX - scrollX_) * kGlideRate * dt;
            scrollY_ += (targetY - scrollY_) * kGlideRate * dt;
        }
        ClampScroll();
        return;
    }
    const bool inside = pointer.x >= viewX && pointer.x < viewX + kViewWidth && pointer.y >= viewY &&
                        pointer.y < viewY + kViewHeight;
    if (pointer.pressed && inside) {
        dragging_ = true;
        pressX_ = pointer.x;
        pressY_ = pointer.y;
        pressScrollX_ = scrollX_;
        pressScrollY_ = scrollY_;
        tapped_ = HitMarker(pointer.x - viewX - static_cast<int>(scrollX_), pointer.y - viewY - static_cast<int>(scrollY_));
    } else if (dragging_ && pointer.down) {
        const int dx = pointer.x - pressX_;
        const int dy = pointer.y - pressY_;
        scrollX_ = pressScrollX_ + static_cast<float>(dx);
        scrollY_ = pressScrollY_ + static_cast<float>(dy);
        ClampScroll();
        if (std::abs(dx) > kDragCancel || std::abs(dy) > kDragCancel) tapped_ = -1;
    }
    if (pointer.released && dragging_) {
        dragging_ = false;
        if (tapped_ >= 0) {
            SelectMission(tapped_);
            if (services_.playUiSound) services_.playUiSound(5);
        }
        tapped_ = -1;
    }
}

int Campaign::HitMarker(int x, int y) const {
    const int last = std::min(highestSelectable_ + 1, count_);
    for (int m = 0; m < last; ++m) {
        const CampaignMission& mission = missions_[static_cast<std::size_t>(m)];
        const long dx = x - mission.markerX;
        const long dy = y - mission.markerY;
        if (dx * dx + dy * dy < static_cast<long>(kHitRadius) * kHitRadius) return m;
    }
    return -1;
}

void Campaign::MarkerLook(int mission, int& column, std::uint32_t& colour) const {
    const int difficulty = Difficulty();
    const bool done =
        services_.profile != nullptr && services_.profile->GetMissionResult(difficulty, mission).value != 0;
    if (done) {
        column = 0;
        colour = kDoneColour;
        return;
    }
    const bool next = mission == firstUnfinished_;
    column = mission == selected_ || next || difficulty > 0 ? 136 : 272;
    colour = next ? kNextColour : kOtherColour;
}

void Campaign::ResetMapScreen() {
    StartMap(Now());
    // A button still held from the screen before is no press on the map.
    pointerWasDown_ = services_.pointer && services_.pointer().down;
}

void Campaign::DrawMapScreen() {
    const double now = Now();
    MapPointer pointer = services_.pointer ? services_.pointer() : MapPointer{};
    pointer.pressed = pointer.down && !pointerWasDown_;
    pointer.released = !pointer.down && pointerWasDown_;
    pointerWasDown_ = pointer.down;
    engine::RenderTargetBase* target = services_.target ? services_.target() : nullptr;
    // The viewport the pointer is tested against is the one drawn this frame.
    if (target != nullptr) SetScreenSize(target->Width(), target->Height());
    UpdateMap(pointer, services_.frameSeconds ? services_.frameSeconds() : 0.0f, now);
    if (target == nullptr) return;
    DrawMapView(*target, now);
    // The screen's frame ("GUI/CampaignBack", above the markers) lies centred over the view.
    if (services_.markerSheet != 0) {
        target->DrawTextureRect({screenWidth_ / 2 - kFrameWidth / 2, screenHeight_ / 2 - kFrameHeight / 2,
                                 kFrameWidth, kFrameHeight},
                                {0, 0, kFrameWidth, kFrameHeight}, services_.markerSheet, 0xFFFFFFFFu, 3, 0);
    }
    DrawMapText(*target, now);
}

void Campaign::DrawMap(engine::RenderTargetBase& target, double now) {
    DrawMapView(target, now);
    DrawMapText(target, now);
}

void Campaign::DrawMapView(engine::RenderTargetBase& target, double now) {
    lastNow_ = now;
    SetScreenSize(target.Width(), target.Height());
    int viewX = 0;
    int viewY = 0;
    ViewportRect(screenWidth_, screenHeight_, viewX, viewY);
    const engine::IntRect view{viewX, viewY, kViewWidth, kViewHeight};
    if (mapTexture_ == 0) {
        target.FillRect(view, kNoPicture, 0);
    } else {
        target.SetClipRect(&view);
        const int originX = viewX + static_cast<int>(scrollX_);
        const int originY = viewY + static_cast<int>(scrollY_);
        target.DrawTextureRect({originX, originY, kPictureSize, kPictureSize}, {0, 0, kPictureSize, kPictureSize},
                               mapTexture_, 0xFFFFFFFFu, 3, 0);
        const double pulse = 0.5 + 0.5 * std::sin(now * 2.0 * M_PI / kPulsePeriod);
        const int difficulty = Difficulty();
        for (int m = 0; m < count_; ++m) {
            const CampaignMission& mission = missions_[static_cast<std::size_t>(m)];
            int column = 0;
            std::uint32_t colour = 0;
            MarkerLook(m, column, colour);
            if (m == selected_) colour = Mix(kPulseDim, kPulseBright, pulse);
            engine::IntRect marker{originX + mission.markerX - kMarkerWidth / 2,
                                   originY + mission.markerY - kMarkerHeight / 2, kMarkerWidth, kMarkerHeight};
            if (m == tapped_) marker = {marker.x + 2, marker.y + 2, marker.width - 4, marker.height - 4};
            target.DrawTextureRect(marker, {column, kMarkerRow, kMarkerWidth, kMarkerHeight}, services_.markerSheet,
                                   colour, 3, 0);
            const MissionResult result =
                services_.profile != nullptr ? services_.profile->GetMissionResult(difficulty, m) : MissionResult{};
            if (result.value == 0) continue;
            target.DrawTextureRect({originX + mission.markerX - kMedalCell / 2, originY + mission.markerY - kMedalCell / 2,
                                    kMedalCell, kMedalCell},
                                   {kMedalCell * result.value - kMedalCell, 416, kMedalCell, kMedalCell},
                                   services_.medalSheet, 0xFFFFFFFFu, 3, 0);
            if (services_.mainFont != nullptr) {
                engine::WideString margin("+");
                margin.AppendInt(result.second, true);
                services_.mainFont->Draw(target, margin, marker.x + 36, marker.y + 37, 0);
            }
        }
        target.SetClipRect(nullptr);
    }
}

void Campaign::DrawMapText(engine::RenderTargetBase& target, double now) {
    for (int line = 0; line < wrapped_.GetLineCount(); ++line) {
        wrapped_.SetLineValue(line, LineColour(line, now - selectedAt_));
    }
    if (services_.menuFont == nullptr) return;
    // The text stands in the frame's own panel, right of the map view (the layout values would put it over the
    // map), and the campaign's name in the frame's top bar.
    const int left = screenWidth_ / 2 - kFrameWidth / 2;
    const int top = screenHeight_ / 2 - kFrameHeight / 2;
    services_.menuFont->Draw(target, listedName_, screenWidth_ / 2, top + kTitleY, kTitleAlignment);
    if (wrapped_.GetLineCount() > 0) {
        services_.menuFont->DrawLines(target, top + kTextPanelY, wrapped_, 0, left + kTextPanelX);
    }
}

}  // namespace game
