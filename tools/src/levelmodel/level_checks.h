#pragma once
// Checks of a loaded level model against its hex map, as the game meets it: where a pick lands, which hex a
// click from above gives, which lines of sight the model blocks, and the scenery the decorations collect.
// Each check appends one fault per finding; an empty list means the level passes.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/render/material_def.h"

namespace engine {
class SceneNode;
}
namespace game {
class HexMap;
}

namespace levelmodel {

struct LevelFault {
    std::string where;  // "tile B12", or empty for the whole level
    std::string message;
};

// How many cases each check looked at.
struct LevelCheckCounts {
    int picks = 0;
    int clicks = 0;
    int clearLines = 0;
    int wallLines = 0;
    int heightLines = 0;
    int triangles = 0;
};

// A pick straight down at every hex centre, with "MapTopTree" hidden as the game's pointer hides it, lands
// within 0.02 of the hex's standing point. With the group shown (its scenery nodes hidden) the pick lands on
// the top of an obstacle or wall at the tile height, and elsewhere, a door's tile among them, again at the
// standing point.
void CheckCentrePicks(game::HexMap& map, engine::SceneNode& root, std::vector<LevelFault>& faults,
                      LevelCheckCounts* counts = nullptr);
// A "MapTopTree" group holds every scenery node (named as the decorations recognise them), at most 128.
void CheckScenery(engine::SceneNode& root, std::vector<LevelFault>& faults);
// Camera::PickAtScreen from above, with "MapTopTree" hidden, at `count` hexes chosen by the seed: the hex
// picked from the hit point is the hex aimed at.
void CheckScreenPicks(game::HexMap& map, engine::SceneNode& root, std::uint32_t seed, int count,
                      std::vector<LevelFault>& faults, LevelCheckCounts* counts = nullptr);
// Lines of sight between open hexes two apart at one level: clear over an open hex between them, blocked
// by a wall between them or by a hex between them that stands 1.0 higher.
void CheckLinesOfSight(game::HexMap& map, engine::SceneNode& root, std::vector<LevelFault>& faults,
                       LevelCheckCounts* counts = nullptr);

// Every material the level draws with (its meshes' batch materials and its nodes' materials) loaded, has
// no flag 0x1 (picks and lines of sight would pass through it) and holds a texture in every texture slot its
// shader set declares, so that no placeholder is bound. Needs a material library whose texture source
// loads (see DecodingTextureSource).
void CheckLevelMaterials(engine::SceneNode& root, std::vector<LevelFault>& faults);

// The texture source of a material library without a graphics device: a texture "loads" when its picture
// decodes from the data files.
class DecodingTextureSource final : public engine::MaterialTextureSource {
public:
    int Load(const engine::WideString& name, int mipKind) override;
    int LoadCubeMap(const engine::WideString&) override { return 0; }
    int LoadFlagged(const engine::WideString& name) override { return Load(name, 0); }
    int MakeCheckTexture(int width, int, std::uint32_t, std::uint32_t) override;
    int Width(int handle) const override;

private:
    std::vector<int> widths_;
};

// At most 40,000 triangles in the level's meshes, its scenery included.
void CheckTriangleBudget(engine::SceneNode& root, std::vector<LevelFault>& faults, LevelCheckCounts* counts = nullptr);

// All of the above (50 screen picks).
std::vector<LevelFault> CheckLevelModel(game::HexMap& map, engine::SceneNode& root, std::uint32_t seed,
                                        LevelCheckCounts* counts = nullptr);

// Loads "<folder>/GameMap.Hex" and "<folder>/Map" from the mounted data, as the level does, and checks them
// with CheckLevelModel. The engine's material library (with a texture source that loads) and model table
// must be set up. A map or model that does not load is a fault.
std::vector<LevelFault> CheckLevelFolder(const std::string& folder, LevelCheckCounts* counts = nullptr);

}  // namespace levelmodel
