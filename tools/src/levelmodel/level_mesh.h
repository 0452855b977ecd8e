#pragma once
// The terrain of a level built from its hex map: hex tops at the heights where units stand, side faces
// between levels, fords under a water film, water, rock masses, obstacles and walls, and the places of the
// scenery that stands on them. The result is a mesh for the model builder and a list of scenery nodes.
#include <string>
#include <vector>

#include "engine/core/vector.h"
#include "mdl_builder.h"

namespace game {
class HexMap;
}

namespace levelmodel {

inline constexpr int kMaxSceneryNodes = 128;
inline constexpr int kMaxLevelTriangles = 40000;
// How far a ford's bed lies below its water film.
inline constexpr float kFordDepth = 0.2f;
// The least height of a wall above the ground it stands on.
inline constexpr float kMinWallHeight = 1.0f;

// The kinds of surface the terrain is drawn with; each has its material.
enum class Surface { kLand, kShore, kRoad, kFordBed, kHill, kForest, kRock, kWater, kCliff, kWall };
inline constexpr int kSurfaceCount = 10;
inline constexpr Surface kAllSurfaces[kSurfaceCount] = {
    Surface::kLand, Surface::kForest, Surface::kShore, Surface::kRoad,  Surface::kFordBed,
    Surface::kHill, Surface::kRock,   Surface::kWater, Surface::kCliff, Surface::kWall};

// The file title of a surface's material ("Land", "Cliff" ...).
const char* SurfaceTitle(Surface surface);
// True for the surfaces whose material shades with the level's own map texture; the others are shared by
// every level.
bool IsLevelSurface(Surface surface);
// The material of a surface for the level folder: "<folder>/Land" for a level's own, else
// "Levels/Common/Cliff" (or "Levels/Common/SnowCliff" on a snow level).
std::string SurfaceMaterial(const std::string& folder, Surface surface, bool snow);

// The scenery node names the decorations of a level recognise.
const std::vector<std::string>& SceneryNames();

struct SceneryPlacement {
    std::string name;  // "Tree1/Tree1"; the model is "Levels/Scenery/Tree1"
    engine::Vec3 position;
    float yaw = 0.0f;  // degrees about Y
};

// The ground is the terrain; the obstacles and walls standing on it are the features, which the level hangs
// under "MapTopTree" with the scenery: a pick (which hides that group) finds the ground where units would
// stand, while lines of sight still meet them.
struct LevelMesh {
    mdlbuild::AuthorMesh terrain;
    mdlbuild::AuthorMesh features;
    std::vector<SceneryPlacement> scenery;
};

// The part of the ground a level's map texture covers: the centres of its used tiles with a margin of one.
struct MapFrame {
    float left = 0.0f, top = 0.0f, width = 1.0f, depth = 1.0f;

    // Texture coordinates (0..1 over the frame) of a world point (x, z), and back.
    void Uv(float x, float z, float& u, float& v) const {
        u = (x - left) / width;
        v = (top - z) / depth;
    }
    void World(float u, float v, float& x, float& z) const {
        x = left + u * width;
        z = top - v * depth;
    }
};
MapFrame FrameOf(const game::HexMap& map);

// Builds the terrain and scenery of the map for the level folder. The wall joins are asked of the map.
void BuildLevelMesh(game::HexMap& map, const std::string& folder, LevelMesh& out);

}  // namespace levelmodel
