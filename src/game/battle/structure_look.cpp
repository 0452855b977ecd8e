#include "game/battle/structure_look.h"

#include <cmath>

#include "engine/core/frame_timer.h"

namespace game {

std::uint32_t BlendColours(std::uint32_t from, std::uint32_t to, float t) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float a = static_cast<float>((from >> shift) & 0xFFu);
        const float b = static_cast<float>((to >> shift) & 0xFFu);
        float v = a + (b - a) * t;
        v = v < 0.0f ? 0.0f : (v > 255.0f ? 255.0f : v);
        out |= static_cast<std::uint32_t>(std::lround(v)) << shift;
    }
    return out;
}

bool StructureTint(float incomeFlash, int highlight, bool targetMarked, std::uint32_t teamColour,
                   const engine::FrameTimer* clock, std::uint32_t& colour) {
    if (incomeFlash > 0.35f && incomeFlash <= 0.65f) {
        const float r = (incomeFlash - 0.35f) / 0.3f;
        const float t = r * r * r;
        const auto a = static_cast<std::uint32_t>(static_cast<int>(t * 255.0f));
        colour = BlendColours(teamColour, ((255u - a) << 24) | 0x00FFFFFFu, t);
        return true;
    }
    if (highlight == 0 && !targetMarked) return false;
    std::uint32_t from = 0xFF000000u;
    std::uint32_t to = 0xFF000000u;
    float period = 1.0f;
    if (targetMarked) {
        from = teamColour;
    } else if (highlight == 2) {
        from = 0xFFFFFFFFu;
        to = teamColour;
        period = 0.25f;
    }
    colour = BlendColours(from, to, clock != nullptr ? clock->SmoothPingPong(period) : 0.0f);
    return true;
}

float CapturePopScale(float popTimer) { return popTimer / 0.2f + 1.0f; }

engine::Matrix44 CaptureMarkerMatrix(const engine::Vec3& modelPosition, double gameSeconds) {
    const double p = std::fmod(gameSeconds, 0.7) / 0.7;
    const auto scale = static_cast<float>((1.0 - p) * (1.0 - p) * (1.0 - p) + 4.0);
    engine::Matrix44 m;
    m.InitRotationY(static_cast<float>(std::fmod(gameSeconds * 30.0, 360.0)));
    for (int row = 0; row < 3; ++row) m.SetRow(row, m.Row(row).Scale(scale));
    m.SetRow(3, {modelPosition.x, modelPosition.y + 1.3f, modelPosition.z});
    return m;
}

engine::Matrix44 StructureModelMatrix(const engine::Vec3& levelPoint, bool threeHex, bool mirrored) {
    engine::Matrix44 m;
    engine::Vec3 at = levelPoint;
    if (threeHex && mirrored) {
        m.InitRotationY(60.0f);
        at.x -= 0.2f;
        at.z -= 0.6f;
    } else {
        m.InitRotationY(0.0f);
        if (threeHex) {
            at.x += 0.4f;
            at.z -= 0.5f;
        }
    }
    m.SetRow(3, at);
    return m;
}

}  // namespace game
