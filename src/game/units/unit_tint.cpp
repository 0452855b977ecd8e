#include "game/units/unit_tint.h"

#include <cmath>

#include "engine/image/colour_gradient.h"

namespace game {

namespace {

// The colour at f between two colours, alpha included.
std::uint32_t Blend(std::uint32_t from, std::uint32_t to, float f) {
    engine::ColourGradient gradient(2);
    gradient.AddKey(from);
    gradient.AddKey(to);
    return gradient.Sample(f);
}

}  // namespace

TintChoice ChooseTint(const TintInputs& in) {
    TintChoice choice;
    if (in.waitTimer > 0.3f && in.waitTimer <= 0.7f) {
        const float t = (in.waitTimer - 0.3f) / 0.4f;
        const float f = t * t * t;
        const std::uint32_t colour = Blend(in.teamColour, 0xFFFFFFFFu, f);
        const std::uint32_t alpha = static_cast<std::uint32_t>(255 - static_cast<int>(f * 255.0f));
        choice = {TintKind::kFlash, (colour & 0x00FFFFFFu) | (alpha << 24), true};
        return choice;
    }
    // A target mark shows only while a player plays, and not on a unit highlighted as unavailable.
    const bool marked = in.targetMarked && !in.currentSideComputer && in.highlight != 1;
    if (marked) {
        const std::uint32_t halfAlpha = (in.teamColour & 0x00FFFFFFu) | 0x80000000u;
        return {TintKind::kMarked, Blend(halfAlpha, 0xFF000000u, in.markPulse), true};
    }
    if (in.highlight == 1) return {TintKind::kUnavailable, 0xFF000000u, true};
    if (in.highlight == 2) return {TintKind::kSelected, Blend(0xFFFFFFFFu, in.teamColour, in.highlightPulse), true};
    if (in.ownSideCurrentPlayer && in.armed && !in.canAct && !in.engineer) {
        return {TintKind::kDarkened, engine::ScaleColourRgb(in.teamColour, 64), true};
    }
    return {TintKind::kTeam, in.teamColour, false};
}

}  // namespace game
