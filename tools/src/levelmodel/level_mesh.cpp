// The terrain mesh of a level: one pass over the grid adds each hex's top, the side faces down to lower
// neighbours (or to the skirt under the map's border), the fords' films, the features and the rock masses.
#include "level_mesh.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <tuple>

#include "game/battle/battle_types.h"
#include "game/battle/hex_coord.h"
#include "game/battle/hex_map.h"

namespace levelmodel {
namespace {

constexpr float kCornerRadius = 0.57735027f;  // hex centres are 1 apart: the inradius is 0.5
constexpr float kHillShoulder = 0.15f;        // a hill's rim lies this far below its top
constexpr float kTileUv = 0.35f;              // ground textures repeat every 1 / 0.35 units
constexpr float kPi = 3.14159265f;

engine::Vec3 Corner(const engine::Vec3& centre, int k, float radius, float y) {
    const float a = static_cast<float>(k % 6) * (kPi / 3.0f);
    return {centre.x + radius * std::cos(a), y, centre.z + radius * std::sin(a)};
}

// The unit vector of a hex direction on the ground (x, z).
engine::Vec3 DirectionVector(int direction) {
    const float a = static_cast<float>(game::DirectionToAngle(direction)) * (kPi / 180.0f);
    return {std::cos(a), 0.0f, std::sin(a)};
}

std::uint32_t TileHash(int column, int row) {
    std::uint32_t h = static_cast<std::uint32_t>(column) * 73856093u ^ static_cast<std::uint32_t>(row) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return h;
}

// Collects triangles, sharing vertices at equal positions.
class MeshSink {
public:
    MeshSink(mdlbuild::AuthorMesh& mesh, const MapFrame& frame) : mesh_(mesh), frame_(frame) {}

    // A triangle listed clockwise seen from its front, with the given texture coordinates per corner.
    void Triangle(const std::array<engine::Vec3, 3>& p, const std::array<std::array<float, 4>, 3>& uv,
                  const std::string& material) {
        mdlbuild::AuthorTriangle t;
        for (int c = 0; c < 3; ++c) {
            t.corners[c] = Vertex(p[static_cast<std::size_t>(c)]);
            for (int i = 0; i < 4; ++i) t.uv[c][i] = uv[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)];
        }
        t.material = material;
        mesh_.triangles.push_back(std::move(t));
    }

    // A triangle of a level surface: ground texture on the first set, the map's texture on the second.
    void Ground(const engine::Vec3& a, const engine::Vec3& b, const engine::Vec3& c, const std::string& material) {
        Triangle({a, b, c}, {GroundUv(a), GroundUv(b), GroundUv(c)}, material);
    }

    // A vertical quad under the edge a -> b (counter-clockwise around the shape it bounds, seen from
    // above), facing outwards, from the heights top down to bottom.
    void Side(const engine::Vec3& a, const engine::Vec3& b, float top, float bottom, const std::string& material) {
        if (top - bottom < 1e-4f) return;
        const engine::Vec3 at{a.x, top, a.z}, bt{b.x, top, b.z}, ab{a.x, bottom, a.z}, bb{b.x, bottom, b.z};
        const float length = std::hypot(b.x - a.x, b.z - a.z) * 0.7f;
        auto uv = [&](const engine::Vec3& p, float along) {
            std::array<float, 4> out{along, -p.y * 0.7f, 0.0f, 0.0f};
            frame_.Uv(p.x, p.z, out[2], out[3]);
            return out;
        };
        Triangle({at, bt, bb}, {uv(at, 0.0f), uv(bt, length), uv(bb, length)}, material);
        Triangle({at, bb, ab}, {uv(at, 0.0f), uv(bb, length), uv(ab, 0.0f)}, material);
    }

    // A convex polygon (counter-clockwise seen from above) at height y, facing up. A hexagon is cut into a
    // middle triangle and three ears, so that its centre, where picks aim, lies inside one triangle and not
    // on an edge that two triangles share.
    void Cap(const std::vector<engine::Vec3>& p, const std::string& material) {
        if (p.size() == 6) {
            Ground(p[0], p[4], p[2], material);
            for (std::size_t k = 0; k < 6; k += 2) Ground(p[k], p[(k + 2) % 6], p[k + 1], material);
            return;
        }
        for (std::size_t k = 1; k + 1 < p.size(); ++k) Ground(p[0], p[k + 1], p[k], material);
    }

    // An upright prism over the polygon from bottom to top: the cap and every side.
    void Prism(std::vector<engine::Vec3> polygon, float bottom, float top, const std::string& capMaterial,
               const std::string& sideMaterial) {
        for (engine::Vec3& p : polygon) p.y = top;
        Cap(polygon, capMaterial);
        for (std::size_t k = 0; k < polygon.size(); ++k) {
            Side(polygon[k], polygon[(k + 1) % polygon.size()], top, bottom, sideMaterial);
        }
    }

private:
    std::array<float, 4> GroundUv(const engine::Vec3& p) const {
        std::array<float, 4> uv{p.x * kTileUv, -p.z * kTileUv, 0.0f, 0.0f};
        frame_.Uv(p.x, p.z, uv[2], uv[3]);
        return uv;
    }

    int Vertex(const engine::Vec3& p) {
        const auto key =
            std::make_tuple(std::lround(p.x * 4096.0f), std::lround(p.y * 4096.0f), std::lround(p.z * 4096.0f));
        const auto found = index_.find(key);
        if (found != index_.end()) return found->second;
        mdlbuild::AuthorVertex v;
        v.position = p;
        mesh_.vertices.push_back(v);
        const int index = static_cast<int>(mesh_.vertices.size()) - 1;
        index_.emplace(key, index);
        return index;
    }

    mdlbuild::AuthorMesh& mesh_;
    MapFrame frame_;
    std::map<std::tuple<long, long, long>, int> index_;
};

std::vector<engine::Vec3> HexPolygon(const engine::Vec3& centre, float radius, float y) {
    std::vector<engine::Vec3> polygon;
    for (int k = 0; k < 6; ++k) polygon.push_back(Corner(centre, k, radius, y));
    return polygon;
}

class LevelBuilder {
public:
    LevelBuilder(game::HexMap& map, const std::string& folder, LevelMesh& out)
        : map_(map),
          out_(out),
          sink_(out.terrain, FrameOf(map)),
          features_(out.features, FrameOf(map)),
          snow_(map.GetWeatherType() == 3) {
        for (int s = 0; s < kSurfaceCount; ++s) {
            materials_[static_cast<std::size_t>(kAllSurfaces[s])] = SurfaceMaterial(folder, kAllSurfaces[s], snow_);
        }
    }

    void Build() {
        floor_ = 0.0f;
        bool any = false;
        ForEachTile([&](game::HexCoord hex, const game::HexTile&) {
            floor_ = any ? std::min(floor_, EdgeTop(hex)) : EdgeTop(hex);
            any = true;
        });
        floor_ -= 0.5f;
        ForEachTile([&](game::HexCoord hex, const game::HexTile& tile) { AddTile(hex, tile); });
        out_.terrain.boxTree = true;
        out_.terrain.octree = true;
        out_.terrain.octreeLeafTriangles = 2000;
        out_.features.boxTree = !out_.features.triangles.empty();
    }

private:
    template <typename Visit>
    void ForEachTile(Visit&& visit) {
        for (int row = 0; row < game::kMapRows; ++row) {
            for (int column = 0; column < game::kMapColumns; ++column) {
                const game::HexCoord hex = game::MakeHexCoord(column, row);
                if (!game::IsValidHex(hex)) continue;
                const game::HexTile& tile = map_.GetTile(hex);
                if (tile.terrain != game::kTerrainNone) visit(hex, tile);
            }
        }
    }

    const std::string& Material(Surface s) const { return materials_[static_cast<std::size_t>(s)]; }

    static bool IsFord(const game::HexTile& tile) { return tile.terrain == game::kTerrainLand2; }
    static bool IsHill(const game::HexTile& tile) {
        return tile.objectClass == game::kObjectFeature && tile.objectType == game::kFeatureRaised;
    }

    // Where units stand, without the lift that GetSurfacePoint adds.
    float Ground(game::HexCoord hex) const {
        engine::Vec3 point;
        map_.GetSurfacePoint(point, hex);
        return point.y - 0.001f;
    }

    // The height of a tile's rim, which side faces join: a ford's bed, a hill's shoulder, else the ground.
    float EdgeTop(game::HexCoord hex) const {
        const game::HexTile& tile = map_.GetTile(hex);
        if (IsFord(tile)) return Ground(hex) - kFordDepth;
        if (IsHill(tile)) return Ground(hex) - kHillShoulder;
        return Ground(hex);
    }

    Surface TopSurface(const game::HexTile& tile) const {
        if (tile.terrain == game::kTerrainWater) return Surface::kWater;
        if (IsFord(tile)) return Surface::kFordBed;
        if (tile.terrain == game::kTerrainBlocked) return Surface::kRock;
        if (IsHill(tile)) return Surface::kHill;
        if (tile.overlay != 0) return Surface::kRoad;
        if (tile.terrain == game::kTerrainShore) return Surface::kShore;
        return Surface::kLand;
    }

    void AddTile(game::HexCoord hex, const game::HexTile& tile) {
        const engine::Vec2 ground = game::HexToWorld(hex);
        const float y = Ground(hex);
        const float rim = EdgeTop(hex);
        const engine::Vec3 centre{ground.x, y, ground.y};
        const std::string& top = Material(TopSurface(tile));

        if (IsHill(tile)) {
            const std::vector<engine::Vec3> inner = HexPolygon(centre, kCornerRadius * 0.5f, y);
            const std::vector<engine::Vec3> outer = HexPolygon(centre, kCornerRadius, rim);
            sink_.Cap(inner, top);
            for (int k = 0; k < 6; ++k) {
                const std::size_t a = static_cast<std::size_t>(k), b = static_cast<std::size_t>((k + 1) % 6);
                sink_.Ground(inner[a], inner[b], outer[b], top);
                sink_.Ground(inner[a], outer[b], outer[a], top);
            }
        } else {
            sink_.Cap(HexPolygon(centre, kCornerRadius, rim), top);
        }
        if (IsFord(tile)) sink_.Cap(HexPolygon(centre, kCornerRadius, y), Material(Surface::kWater));

        // Side faces down to every lower neighbour, and to the skirt where the map ends.
        for (int d = 0; d < game::kDirectionCount; ++d) {
            game::HexCoord next;
            float bottom = floor_;
            if (game::HexNeighbour(hex, d, next) && map_.GetTile(next).terrain != game::kTerrainNone) {
                bottom = EdgeTop(next);
            }
            const engine::Vec3 a = Corner(centre, 1 - d + 6, kCornerRadius, rim);
            const engine::Vec3 b = Corner(centre, 2 - d + 6, kCornerRadius, rim);
            sink_.Side(a, b, rim, bottom, Material(Surface::kCliff));
        }

        if (tile.terrain == game::kTerrainBlocked) AddRockMass(hex, centre);
        if (tile.objectClass == game::kObjectFeature && tile.overlay == 0) AddFeature(hex, tile, centre);
    }

    // Crags on three corners of the hex, clear of its centre where units would be picked.
    void AddRockMass(game::HexCoord hex, const engine::Vec3& centre) {
        const std::uint32_t h = TileHash(hex.column, hex.row);
        for (int k = static_cast<int>(h % 2); k < 6; k += 2) {
            const engine::Vec3 at = Corner(centre, k, 0.33f, centre.y);
            const float height = 0.3f + 0.1f * static_cast<float>((h >> (k + 2)) % 3);
            sink_.Prism(HexPolygon(at, 0.14f, 0.0f), centre.y, centre.y + height, Material(Surface::kRock),
                        Material(Surface::kCliff));
        }
        if (h % 2 == 0) Place(Crystal(h), {centre.x, centre.y, centre.z}, h);
    }

    void AddFeature(game::HexCoord hex, const game::HexTile& tile, const engine::Vec3& centre) {
        const float base = static_cast<float>(tile.level) * 0.25f;
        const std::uint32_t h = TileHash(hex.column, hex.row);
        switch (tile.objectType) {
            case 1: {  // a tall obstacle: a thicket up to the tile height, its trees as scenery
                const float top = std::max(tile.height, base);
                if (top > base + 1e-3f) {
                    features_.Prism(HexPolygon(centre, kCornerRadius * 0.85f, 0.0f), base, top,
                                    Material(Surface::kForest), Material(Surface::kForest));
                }
                Place(TreeFor(hex, h), {centre.x, top, centre.z}, h);
                break;
            }
            case 3: {  // a low obstacle
                const float top = std::max(tile.height, base);
                if (top > base + 1e-3f) {
                    features_.Prism(HexPolygon(centre, kCornerRadius * 0.6f, 0.0f), base, top, Material(Surface::kRock),
                                    Material(Surface::kCliff));
                }
                break;
            }
            case 4:
            case 5:
            case 8:
                AddWall(hex, tile, centre, base);
                break;
            default:  // 2 is the hill of the ground; 6 holds the door unit; 7 is gone
                break;
        }
    }

    // A post at the centre and an arm to the edge of every neighbour that is a wall or a door.
    void AddWall(game::HexCoord hex, const game::HexTile& tile, const engine::Vec3& centre, float base) {
        const float top = std::max(tile.height, base + kMinWallHeight);
        const std::string& wall = Material(Surface::kWall);
        features_.Prism(HexPolygon(centre, 0.2f, 0.0f), base, top, wall, wall);
        map_.GetWallAngle(hex);
        const float halfWidth = 0.14f;
        for (int d = 0; d < game::kDirectionCount; ++d) {
            if (!map_.HasWallDir(d)) continue;
            const engine::Vec3 u = DirectionVector(d);
            const engine::Vec3 left{-u.z * halfWidth, 0.0f, u.x * halfWidth};
            const engine::Vec3 end{centre.x + u.x * 0.5f, 0.0f, centre.z + u.z * 0.5f};
            const std::vector<engine::Vec3> arm = {
                {centre.x - left.x, 0.0f, centre.z - left.z},
                {end.x - left.x, 0.0f, end.z - left.z},
                {end.x + left.x, 0.0f, end.z + left.z},
                {centre.x + left.x, 0.0f, centre.z + left.z},
            };
            features_.Prism(arm, base, top - 0.02f, wall, wall);
        }
    }

    bool NearWater(game::HexCoord hex) const {
        for (int d = 0; d < game::kDirectionCount; ++d) {
            game::HexCoord next;
            if (!game::HexNeighbour(hex, d, next)) continue;
            const int terrain = map_.GetTile(next).terrain;
            if (terrain == game::kTerrainWater || terrain == game::kTerrainShore) return true;
        }
        return false;
    }

    std::string TreeFor(game::HexCoord hex, std::uint32_t h) const {
        if (NearWater(hex)) return "Palm" + std::to_string(1 + h % 5);
        if (map_.GetWeatherType() == 2) return "Cactus" + std::to_string(1 + h % 3);
        return "Tree" + std::to_string(1 + h % 3);
    }
    static std::string Crystal(std::uint32_t h) { return "Crystal" + std::to_string(1 + (h >> 3) % 3); }

    void Place(const std::string& kind, const engine::Vec3& at, std::uint32_t h) {
        if (static_cast<int>(out_.scenery.size()) >= kMaxSceneryNodes) return;
        SceneryPlacement placement;
        placement.name = kind + "/" + kind;
        placement.position = at;
        placement.yaw = static_cast<float>((h >> 5) % 24) * 15.0f;
        out_.scenery.push_back(std::move(placement));
    }

    game::HexMap& map_;
    LevelMesh& out_;
    MeshSink sink_;
    MeshSink features_;
    bool snow_;
    float floor_ = 0.0f;
    std::array<std::string, kSurfaceCount> materials_;
};

}  // namespace

const char* SurfaceTitle(Surface surface) {
    switch (surface) {
        case Surface::kLand:
            return "Land";
        case Surface::kShore:
            return "Shore";
        case Surface::kRoad:
            return "Road";
        case Surface::kFordBed:
            return "FordBed";
        case Surface::kHill:
            return "Hill";
        case Surface::kForest:
            return "Forest";
        case Surface::kRock:
            return "Rock";
        case Surface::kWater:
            return "Water";
        case Surface::kCliff:
            return "Cliff";
        case Surface::kWall:
            return "Wall";
    }
    return "Land";
}

bool IsLevelSurface(Surface surface) { return surface != Surface::kCliff && surface != Surface::kWall; }

std::string SurfaceMaterial(const std::string& folder, Surface surface, bool snow) {
    if (IsLevelSurface(surface)) return folder + "/" + SurfaceTitle(surface);
    return std::string("Levels/Common/") + (snow ? "Snow" : "") + SurfaceTitle(surface);
}

const std::vector<std::string>& SceneryNames() {
    static const std::vector<std::string> names = {
        "Tree1/Tree1",       "Tree2/Tree2",     "Tree3/Tree3",     "Crystal1/Crystal1", "Crystal2/Crystal2",
        "Crystal3/Crystal3", "Palm1/Palm1",     "Palm2/Palm2",     "Palm3/Palm3",       "Palm4/Palm4",
        "Palm5/Palm5",       "Cactus1/Cactus1", "Cactus2/Cactus2", "Cactus3/Cactus3"};
    return names;
}

MapFrame FrameOf(const game::HexMap& map) {
    float minX = 0.0f, maxX = 0.0f, minZ = 0.0f, maxZ = 0.0f;
    bool any = false;
    for (int row = 0; row < game::kMapRows; ++row) {
        for (int column = 0; column < game::kMapColumns; ++column) {
            const game::HexCoord hex = game::MakeHexCoord(column, row);
            if (!game::IsValidHex(hex) || map.GetTile(hex).terrain == game::kTerrainNone) continue;
            const engine::Vec2 c = game::HexToWorld(hex);
            minX = any ? std::min(minX, c.x) : c.x;
            maxX = any ? std::max(maxX, c.x) : c.x;
            minZ = any ? std::min(minZ, c.y) : c.y;
            maxZ = any ? std::max(maxZ, c.y) : c.y;
            any = true;
        }
    }
    MapFrame frame;
    frame.left = minX - 1.0f;
    frame.top = maxZ + 1.0f;
    frame.width = maxX - minX + 2.0f;
    frame.depth = maxZ - minZ + 2.0f;
    return frame;
}

void BuildLevelMesh(game::HexMap& map, const std::string& folder, LevelMesh& out) {
    out = LevelMesh{};
    LevelBuilder(map, folder, out).Build();
}

}  // namespace levelmodel
