#pragma once
// The short texts that rise over the battlefield and vanish: damage, supply, promotions and the texts of the
// start-of-turn steps. Eight entries; a new text replaces the oldest when all are alive. Texts age with the
// frame time and live just over 2 s.
#include <array>

#include "engine/core/vector.h"
#include "engine/core/wide_string.h"
#include "game/units/overlay_canvas.h"

namespace game {

inline constexpr int kFloatingTextCount = 8;
inline constexpr float kFloatingTextLife = 2.0f;

struct FloatingText {
    engine::Vec3 position;
    float age = 0.0f;  // 0: free
    engine::WideString text;
};

class FloatingTextPool {
public:
    // The first free entry, or the oldest (the first of equal ages), takes the text at the world point.
    void Add(const engine::WideString& text, const engine::Vec3& position);
    // Frees the entries older than 2 s and ages the others by the frame time (at most 0.1 s).
    void Update(float frameSeconds);
    // Draws every live entry that is in front of the camera at its risen point, centred.
    void Draw(engine::RenderTargetBase& target, const ScreenProjector& projector, TextPainter& painter) const;
    void Clear();

    const FloatingText& Get(int index) const { return entries_[static_cast<std::size_t>(index)]; }
    // The world point an entry is drawn at: its position raised by 2 (1 - cos a), a = age / 2 x 80 + 10
    // degrees.
    static engine::Vec3 RisenPoint(const FloatingText& entry);

private:
    std::array<FloatingText, kFloatingTextCount> entries_{};
};

}  // namespace game
