#pragma once
// The scenery of the level model (trees, crystals, palms, cacti) that may hide what the battle camera looks
// at. While the camera has a focus, the pieces standing between it and the focus turn half-transparent, more
// so the flatter the camera looks; when the focus ends every piece gets its own material back.
#include <array>

#include "engine/core/geometry.h"
#include "engine/core/matrix.h"
#include "engine/core/vector.h"

namespace engine {
class SceneNode;
}  // namespace engine

namespace game {

inline constexpr int kMaxDecorations = 128;

struct DecorationEntry {
    engine::SceneNode* node = nullptr;
    int baseMaterial = 0;
    int fadeMaterial = 0;  // a translucent copy of the base material, made once
    engine::Vec3 centre;
    float radius = 0.0f;
};

class Decorations {
public:
    Decorations() = default;
    Decorations(const Decorations&) = delete;
    Decorations& operator=(const Decorations&) = delete;

    // Walks the active nodes of the model and takes those named as scenery, up to the first 128; a node
    // whose material cannot be copied is left out.
    void Collect(engine::SceneNode* modelRoot);
    // Gives every node its base material back and forgets the entries (before the model goes).
    void Clear();
    void SetFocus(const engine::Vec3& focus, float radius);
    // Per frame while fading is on: fades the pieces in the cone from the camera to the focus.
    void Update(const engine::Matrix44& camera);
    // Fading off; every node shows its base material.
    void RestoreMaterials();

    // The fade of a sphere for a camera placement and its cone to the focus: 1 is opaque.
    static float GetFade(const engine::Matrix44& camera, const engine::Cone& cone, const engine::Vec3& focus,
                         const engine::Vec3& centre, float radius);

    int GetCount() const { return count_; }
    bool IsActive() const { return active_; }
    const DecorationEntry& GetEntry(int i) const { return entries_[static_cast<std::size_t>(i)]; }

private:
    std::array<DecorationEntry, kMaxDecorations> entries_{};
    int count_ = 0;
    bool active_ = false;
    engine::Vec3 focus_;
    float radius_ = 0.0f;
};

}  // namespace game
