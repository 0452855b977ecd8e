#include "game/units/unit_overlay.h"

#include <cstdio>

#include "engine/core/frame_timer.h"
#include "engine/core/wide_string.h"
#include "engine/image/colour_gradient.h"
#include "engine/render/render_target.h"
#include "game/battle/battle_context.h"
#include "game/battle/battle_types.h"
#include "game/units/overlay_canvas.h"
#include "game/units/unit.h"

namespace game {

namespace {

int Round(float v) { return static_cast<int>(v < 0.0f ? v - 0.5f : v + 0.5f); }

void AddBox(InfoOverlay& out, int x, int y, int width, int height, std::uint32_t colour) {
    out.boxes[static_cast<std::size_t>(out.boxCount++)] = {{x, y, width, height}, colour};
}

void AddCell(InfoOverlay& out, const OverlayCell& cell) { out.cells[static_cast<std::size_t>(out.cellCount++)] = cell; }

}  // namespace

std::uint32_t HealthBarColour(float health) {
    engine::ColourGradient gradient(2);
    gradient.AddKey(kOverlayRed);
    gradient.AddKey(kOverlayGreen);
    return gradient.Sample(health);
}

InfoOverlay LayoutInfoOverlay(const OverlayInputs& in) {
    InfoOverlay out;
    if (in.unitState == kUnitNotPlaced || in.unitState == kUnitDying || in.unitState == kUnitGone) return out;
    if (!in.currentSidePlayer) return out;
    bool mark = in.targetMarked && in.predictedLossPercent != 0;
    if (in.gameMode == kGameModeCampaign ? in.unitSidePlayer : in.unitSideCurrent) mark = false;
    const float x = in.anchor.x;
    const float y = in.anchor.y;
    const int ix = Round(x);
    const int iy = Round(y);

    if (mark) {
        AddBox(out, ix - 47, iy - 24, 95, 26, kOverlayShade);
        char text[48];
        std::snprintf(text, sizeof(text), "@C[%i]@X[004]%i%%", 2, in.predictedLossPercent);
        out.text = {text, {x - 4.0f, y - 9.0f}, kTextCentred};
        out.hasText = true;
    }
    if (in.rank > 0) {
        AddCell(out, {{192 + 32 * in.rank, 120, 32, 32}, {x - 40.0f, y + 10.0f}, false, 1.0f, 0xFFFFFFFFu});
    }
    const float health = in.health < 0.0f ? 0.0f : (in.health > 1.0f ? 1.0f : in.health);
    AddBox(out, ix - 20, iy + 28, 40, 7, kOverlayShade);
    AddBox(out, ix - 18, iy + 30, Round(36.0f * health), 3, HealthBarColour(health));

    if (in.unitSidePlayer && in.currentSidePlayer) {
        const float scale = 0.5f + 0.25f * in.pulse;
        if (!in.noFuel && in.fuelFraction <= 0.25f) {
            AddCell(out, {{98, 120, 30, 32}, {x - 14.0f, y + 42.0f}, true, scale,
                          in.fuelFraction <= 0.05f ? kOverlayRed : 0xFFFFFFFFu});
        }
        if (!in.noAmmo && in.ammoFraction <= 0.25f && out.cellCount < 3) {
            AddCell(out, {{130, 120, 30, 32}, {x + 14.0f, y + 42.0f}, true, scale,
                          in.ammoFraction <= 0.01f ? kOverlayRed : 0xFFFFFFFFu});
        }
    }
    return out;
}

void DrawOverlay(const InfoOverlay& overlay, engine::RenderTargetBase& target, TextPainter& painter,
                 std::uint32_t sheet) {
    for (int i = 0; i < overlay.boxCount; ++i) {
        const OverlayBox& box = overlay.boxes[static_cast<std::size_t>(i)];
        if (box.rect.width > 0) target.FillRect(box.rect, box.colour, 1);
    }
    for (int i = 0; i < overlay.cellCount; ++i) {
        const OverlayCell& cell = overlay.cells[static_cast<std::size_t>(i)];
        if (!cell.centred) {
            target.DrawSpriteScaled(Round(cell.at.x), Round(cell.at.y), sheet, cell.scale, cell.scale, cell.source);
            continue;
        }
        const float width = static_cast<float>(cell.source.width) * cell.scale;
        const float height = static_cast<float>(cell.source.height) * cell.scale;
        const engine::IntRect destination{Round(cell.at.x - width * 0.5f), Round(cell.at.y - height * 0.5f),
                                          Round(width), Round(height)};
        target.DrawTextureRect(destination, cell.source, sheet, cell.colour, 1, 0);
    }
    if (overlay.hasText) {
        painter.DrawText(target, engine::WideString(overlay.text.text.c_str()), overlay.text.at.x, overlay.text.at.y,
                         overlay.text.alignFlags);
    }
}

void Unit::DrawInfoOverlay(engine::RenderTargetBase& target, const ScreenProjector& projector, TextPainter& painter,
                           std::uint32_t sheet) const {
    if (state_ == kUnitNotPlaced || state_ == kUnitDying || state_ == kUnitGone) return;
    const int current = battle_.GetCurrentTeamKind();
    OverlayInputs in;
    in.currentSidePlayer = battle_.GetTeamControl(current) == kControlHuman;
    if (!in.currentSidePlayer) return;
    engine::Vec3 aim;
    GetAimPoint(aim);
    if (!projector.Project(aim, in.anchor)) return;
    in.unitState = state_;
    in.targetMarked = targetMarked_;
    in.predictedLossPercent = predictedLossPercent_;
    in.rank = rank_;
    in.health = health_;
    in.fuelFraction = GetFuelFraction(in.noFuel);
    in.ammoFraction = GetAmmoFraction(in.noAmmo);
    in.unitSidePlayer = battle_.GetTeamControl(GetTeamKind()) == kControlHuman;
    in.unitSideCurrent = GetTeamKind() == current;
    in.gameMode = battle_.GetGameMode();
    in.pulse = battle_.GetFrameTimer().SmoothPingPong(0.5f);
    DrawOverlay(LayoutInfoOverlay(in), target, painter, sheet);
}

}  // namespace game
