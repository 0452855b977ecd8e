#include "game/core/turn_announcer.h"

#include <algorithm>
#include <cmath>

#include "engine/core/random_streams.h"
#include "engine/gui/bitmap_font.h"
#include "engine/render/render_target.h"

namespace game {
namespace {

// When the announcer has no walker it keeps showing, one frame at a time, until it is hidden.
constexpr float kHoldSeconds = 0.0001f;
constexpr float kEdge = 0.1f;
constexpr int kUiSoundTurn = 3;
constexpr int kCentred = 6;
constexpr float kWalkSpan = 6.0f;
constexpr float kWalkStart = -3.5f;

float QuarterSine(float t) { return std::sin(t * 10.0f * static_cast<float>(M_PI) / 2.0f); }

}  // namespace

TurnAnnouncer::TurnAnnouncer(AnnouncerServices services) : services_(std::move(services)) {}

TurnAnnouncer::~TurnAnnouncer() {
    if (services_.scene != nullptr) services_.scene->DeleteWalker();
}

float TurnAnnouncer::Envelope(float q, bool walker) {
    if (q < kEdge) return QuarterSine(q);
    if (q > 1.0f - kEdge && walker) return QuarterSine(1.0f - q);
    return 1.0f;
}

float TurnAnnouncer::WalkerX(float q, bool computer) {
    return (computer ? 1.0f - q : q) * kWalkSpan + kWalkStart;
}

void TurnAnnouncer::Show(const engine::WideString& caption, int computerFlag) {
    timeLeft_ = kShowSeconds;
    caption_ = caption;
    AnnouncerScene* scene = services_.scene;
    if (scene != nullptr) scene->DeleteWalker();
    if (services_.playUiSound) services_.playUiSound(kUiSoundTurn);
    const int kind = services_.currentTeamKind ? services_.currentTeamKind() : 0;
    const int pick = services_.random != nullptr ? services_.random->NextInt(0, 4, 0) : 0;
    if (scene != nullptr) scene->CreateWalker(kWalkerTypes[std::clamp(pick, 0, 4)], kind);
    computer_ = computerFlag;
}

void TurnAnnouncer::Reset() {
    timeLeft_ = kShowSeconds;
    if (services_.scene != nullptr) services_.scene->DeleteWalker();
    caption_.Clear();
}

void TurnAnnouncer::Draw() {
    engine::RenderTargetBase* target = services_.target ? services_.target() : nullptr;
    const float delta = services_.frameDelta ? services_.frameDelta() : 0.0f;
    if (target != nullptr) DrawOn(*target, delta);
}

void TurnAnnouncer::DrawOn(engine::RenderTargetBase& target, float frameDelta) {
    if (timeLeft_ == 0.0f) return;
    AnnouncerScene* scene = services_.scene;
    const bool walker = scene != nullptr && scene->HasWalker();
    timeLeft_ -= frameDelta;
    if (timeLeft_ < 0.0f) {
        if (walker) {
            timeLeft_ = 0.0f;
            return;
        }
        timeLeft_ = kHoldSeconds;
    }
    const float q = (kShowSeconds - timeLeft_) / kShowSeconds;
    const float e = Envelope(q, walker);
    const int width = target.Width();
    const int middle = target.Height() / 2;
    if (e != 0.0f) {
        const auto band = static_cast<int>(e * static_cast<float>(target.Height() / 2));
        const std::uint32_t dark = static_cast<std::uint32_t>(std::clamp(e, 0.0f, 1.0f) * 255.0f) << 24;
        target.FillRectGradient({0, middle - band, width, band}, 0, 0, dark, dark, 3);
        target.FillRectGradient({0, middle, width, band}, dark, dark, 0, 0, 3);
        const int stripWidth = std::min(services_.zoomSheetWidth, width);
        if (services_.zoomSheet != 0 && stripWidth > 0) {
            const int home = (width - stripWidth) / 2;
            const auto travel = static_cast<int>((1.0f - e) * static_cast<float>(width));
            const engine::IntRect source{0, 0, stripWidth, kStripHeight};
            target.DrawTextureRect({home + travel, middle - kStripOffset, stripWidth, kStripHeight}, source,
                                   services_.zoomSheet, 0xFFFFFFFFu, 3, 0);
            target.DrawTextureRect({home - travel, middle + kStripOffset, stripWidth, kStripHeight}, source,
                                   services_.zoomSheet, 0xFFFFFFFFu, 3, 0);
        }
    }
    if (!walker) return;
    if (e == 1.0f && services_.captionFont != nullptr) {
        services_.captionFont->Draw(target, caption_, width / 2, middle, kCentred);
    }
    scene->PlaceWalker(WalkerX(q, computer_ != 0), computer_ != 0 ? -90.0f : 90.0f);
    scene->Render(target);
}

}  // namespace game
