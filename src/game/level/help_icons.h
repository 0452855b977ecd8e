#pragma once
// Tutorial icons standing on hexes of the battle map. Each carries a text (looked up from its key) and the
// time the message banner shows it. Collecting one, by picking its model or by reaching its hex, bursts a
// particle effect, turns the camera to its hex, shows its text, removes the model and plays a sound.
#include <array>
#include <string>

#include "engine/core/wide_string.h"
#include "game/battle/hex_coord.h"

namespace engine {
class SceneNode;
}  // namespace engine

namespace game {

class Level;

inline constexpr int kHelpIconCount = 16;
// The effect a collected icon bursts into, and the level sound it plays.
inline constexpr const char* kHelpIconEffect = "Particles/HelpIcon";
inline constexpr const char* kHelpIconModel = "HelpIcon/Icon";
inline constexpr int kHelpIconSound = 34;

struct HelpIconEntry {
    engine::SceneNode* model = nullptr;  // owned clone; null: a free entry
    std::string key;
    engine::WideString text;
    HexCoord hex{-1, -1};
    float bannerSeconds = 0.0f;
};

class HelpIcons {
public:
    explicit HelpIcons(Level& level) : level_(level) {}
    ~HelpIcons() { Destroy(); }
    HelpIcons(const HelpIcons&) = delete;
    HelpIcons& operator=(const HelpIcons&) = delete;

    // The shared icon model ("HelpIcon/Icon") and the node the icons hang under, once for the run.
    static bool LoadModels(engine::SceneNode* world);
    // Takes the given icon prototype (owned) and world node instead of loading.
    static void SetModels(engine::SceneNode* iconPrototype, engine::SceneNode* world);
    static void FreeModels();

    // Every icon model deleted, every entry free.
    void Destroy();
    // The first free entry gets the key, its text and the time, and a clone of the icon model standing on
    // the hex's surface point. Nothing happens with all entries used or an invalid hex.
    void Add(HexCoord hex, const std::string& key, float bannerSeconds);
    bool HasIconAt(HexCoord hex) const;
    // Collects the icon whose model is the node or holds it; false (nothing changed) for any other node.
    bool CollectByModel(const engine::SceneNode* node);
    // Collects the first icon in slot order standing on the hex; false when there is none.
    bool CollectAtHex(HexCoord hex);
    const HelpIconEntry& GetEntry(int slot) const { return entries_[slot]; }

private:
    void Collect(HelpIconEntry& entry);

    Level& level_;
    std::array<HelpIconEntry, kHelpIconCount> entries_{};
};

}  // namespace game
