#pragma once
// Checks of a loaded level model against its hex map, as the game meets it: where a pick lands, which hex a
// click from above gives, which lines of sight the model blocks, and the scenery the decorations collect.
// Each check appends one fault per finding; an empty list means the level passes.
#include <cstdint>
#include <string>
#include <vector>

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
};

// A pick straight down at every hex centre, with "MapTopTree" hidden, lands within 0.02 of the hex's
// standing point, or of the tile height on a feature tile (the feature's top).
void CheckCentrePicks(game::HexMap& map, engine::SceneNode& root, std::vector<LevelFault>& faults,
                      LevelCheckCounts* counts = nullptr);
// A "MapTopTree" group holds every scenery node (named as the decorations recognise them), at most 128.
void CheckScenery(engine::SceneNode& root, std::vector<LevelFault>& faults);
// Camera::PickAtScreen from above, with "MapTopTree" hidden, at `count` hexes where units stand, chosen by
// the seed: the hex picked from the hit point is the hex aimed at.
void CheckScreenPicks(game::HexMap& map, engine::SceneNode& root, std::uint32_t seed, int count,
                      std::vector<LevelFault>& faults, LevelCheckCounts* counts = nullptr);
// Lines of sight between open hexes two apart at one level: clear over an open hex between them, blocked
// by a wall between them or by a hex between them that stands 1.0 higher.
void CheckLinesOfSight(game::HexMap& map, engine::SceneNode& root, std::vector<LevelFault>& faults,
                       LevelCheckCounts* counts = nullptr);

// All of the above (50 screen picks).
std::vector<LevelFault> CheckLevelModel(game::HexMap& map, engine::SceneNode& root, std::uint32_t seed,
                                        LevelCheckCounts* counts = nullptr);

}  // namespace levelmodel
