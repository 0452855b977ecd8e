#include "game/units/floating_text_pool.h"

#include <algorithm>

#include "engine/core/scalar_math.h"

namespace game {

void FloatingTextPool::Add(const engine::WideString& text, const engine::Vec3& position) {
    FloatingText* slot = nullptr;
    for (FloatingText& entry : entries_) {
        if (entry.age == 0.0f) {
            slot = &entry;
            break;
        }
    }
    if (slot == nullptr) {
        slot = &entries_[0];
        for (FloatingText& entry : entries_) {
            if (entry.age > slot->age) slot = &entry;
        }
    }
    slot->age = 0.0001f;
    slot->position = position;
    slot->text = text;
}

void FloatingTextPool::Update(float frameSeconds) {
    const float dt = std::clamp(frameSeconds, 0.0f, 0.1f);
    for (FloatingText& entry : entries_) {
        if (entry.age == 0.0f) continue;
        if (entry.age > kFloatingTextLife) {
            entry.age = 0.0f;
            entry.text.Clear();
            continue;
        }
        entry.age += dt;
    }
}

engine::Vec3 FloatingTextPool::RisenPoint(const FloatingText& entry) {
    const float a = entry.age / 2.0f * 80.0f + 10.0f;
    engine::Vec3 point = entry.position;
    point.y += 2.0f * (1.0f - engine::CosDeg(a));
    return point;
}

void FloatingTextPool::Draw(engine::RenderTargetBase& target, const ScreenProjector& projector,
                            TextPainter& painter) const {
    for (const FloatingText& entry : entries_) {
        if (entry.age == 0.0f) continue;
        engine::Vec2 screen;
        if (!projector.Project(RisenPoint(entry), screen)) continue;
        painter.DrawText(target, entry.text, screen.x, screen.y, kTextCentred);
    }
}

void FloatingTextPool::Clear() {
    for (FloatingText& entry : entries_) {
        entry.age = 0.0f;
        entry.text.Clear();
    }
}

}  // namespace game
