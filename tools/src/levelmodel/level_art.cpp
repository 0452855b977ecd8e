// Procedural textures and scenery shapes for the levels. Everything is a pure function of its inputs, so
// two builds write the same bytes.
#include "level_art.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>

#include "engine/image/image_writers.h"
#include "engine/image/pixel_format.h"
#include "engine/image/surface_copy.h"
#include "game/battle/battle_types.h"
#include "game/battle/hex_coord.h"
#include "game/battle/hex_map.h"
#include "level_mesh.h"

namespace levelmodel {
namespace {

constexpr float kPi = 3.14159265f;

struct Rgb {
    float r = 0, g = 0, b = 0;
};

Rgb FromHex(std::uint32_t rgb) {
    return {static_cast<float>((rgb >> 16) & 0xFF) / 255.0f, static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
            static_cast<float>(rgb & 0xFF) / 255.0f};
}
Rgb Mix(const Rgb& a, const Rgb& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Scale(const Rgb& a, float s) { return {a.r * s, a.g * s, a.b * s}; }

std::uint8_t Byte(float v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); }

void Put(Picture& p, int x, int y, const Rgb& c, float alpha) {
    std::uint8_t* texel = &p.bgra[static_cast<std::size_t>((y * p.width + x) * 4)];
    texel[0] = Byte(c.b);
    texel[1] = Byte(c.g);
    texel[2] = Byte(c.r);
    texel[3] = Byte(alpha);
}

Picture Blank(int width, int height) {
    Picture p;
    p.width = width;
    p.height = height;
    p.bgra.assign(static_cast<std::size_t>(width * height * 4), 0xFF);
    return p;
}

float Lattice(int x, int y, std::uint32_t seed) {
    std::uint32_t h =
        static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFF) / 65535.0f;
}

// Value noise in 0..1 that wraps every `period` lattice cells, sampled at (u, v) in 0..1.
float TiledNoise(float u, float v, int period, std::uint32_t seed) {
    const float x = u * static_cast<float>(period), y = v * static_cast<float>(period);
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    auto at = [&](int i, int j) {
        return Lattice(((i % period) + period) % period, ((j % period) + period) % period, seed);
    };
    const float top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
    const float bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
    return top + (bottom - top) * sy;
}

float Octaves(float u, float v, std::uint32_t seed) {
    return TiledNoise(u, v, 8, seed) * 0.5f + TiledNoise(u, v, 16, seed + 1) * 0.3f +
           TiledNoise(u, v, 32, seed + 2) * 0.2f;
}

// A ground texture: the colour speckled by fine noise; its alpha, which the terrain material reads across
// the whole map, is mostly opaque with patches where the second texture shows.
Picture Ground(const Rgb& colour, std::uint32_t seed, float patches) {
    const int size = 128;
    Picture p = Blank(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size, v = static_cast<float>(y) / size;
            const float detail = Octaves(u, v, seed);
            const float blotch = TiledNoise(u, v, 6, seed + 7);
            const float alpha = patches > 0.0f ? std::clamp((blotch - patches) * 5.0f + 0.5f, 0.0f, 1.0f) : 1.0f;
            Put(p, x, y, Scale(colour, 0.8f + 0.4f * detail), alpha);
        }
    }
    return p;
}

// Courses of stone blocks.
Picture Stone(const Rgb& colour) {
    const int size = 64;
    Picture p = Blank(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int course = y / 16;
            const int shifted = (x + (course % 2) * 16) % size;
            const bool joint = y % 16 == 0 || shifted % 32 == 0;
            const float detail = Octaves(static_cast<float>(x) / size, static_cast<float>(y) / size, 31);
            Put(p, x, y, Scale(colour, joint ? 0.6f : 0.9f + 0.3f * detail), 1.0f);
        }
    }
    return p;
}

// Normals of gentle waves, stored as x, y, z mapped to 0..1.
Picture WaveNoise() {
    const int size = 64;
    Picture p = Blank(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = static_cast<float>(x) / size, v = static_cast<float>(y) / size;
            const float d = 1.0f / size;
            const float dx = TiledNoise(u + d, v, 8, 51) - TiledNoise(u - d, v, 8, 51);
            const float dy = TiledNoise(u, v + d, 8, 51) - TiledNoise(u, v - d, 8, 51);
            const float nx = -dx * 4.0f, ny = -dy * 4.0f;
            const float length = std::sqrt(nx * nx + ny * ny + 1.0f);
            Put(p, x, y, {nx / length * 0.5f + 0.5f, ny / length * 0.5f + 0.5f, 1.0f / length * 0.5f + 0.5f}, 1.0f);
        }
    }
    return p;
}

// Eight colour swatches side by side, which the scenery shapes point their texture coordinates at.
enum Swatch { kBark, kLeafDark, kLeafLight, kPalmLeaf, kCactus, kCrystal, kCrystalLight, kStoneGrey, kSwatches };

Picture Swatches(const std::array<Rgb, kSwatches>& colours) {
    Picture p = Blank(kSwatches * 8, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < p.width; ++x) Put(p, x, y, colours[static_cast<std::size_t>(x / 8)], 1.0f);
    }
    return p;
}

bool Colour(const Palette& palette, const char* name, Rgb& out, std::string& error) {
    const auto found = palette.find(name);
    if (found == palette.end()) {
        error = std::string("the palette has no colour \"") + name + "\"";
        return false;
    }
    out = FromHex(found->second);
    return true;
}

// --- Scenery shapes ------------------------------------------------------------------------------------

class ShapeSink {
public:
    explicit ShapeSink(mdlbuild::AuthorMesh& mesh) : mesh_(mesh) {}

    void Swatch(int swatch) { u_ = (static_cast<float>(swatch) + 0.5f) / static_cast<float>(kSwatches); }

    // Clockwise seen from its front.
    void Triangle(const engine::Vec3& a, const engine::Vec3& b, const engine::Vec3& c) {
        mdlbuild::AuthorTriangle t;
        const engine::Vec3* p[3] = {&a, &b, &c};
        for (int i = 0; i < 3; ++i) {
            mdlbuild::AuthorVertex v;
            v.position = *p[i];
            mesh_.vertices.push_back(v);
            t.corners[i] = static_cast<int>(mesh_.vertices.size()) - 1;
            t.uv[i][0] = t.uv[i][2] = u_;
            t.uv[i][1] = t.uv[i][3] = 0.5f;
        }
        mesh_.triangles.push_back(t);
    }

    // A ring-to-ring solid from a bottom ring at `base` to a top ring at `base` + height, the top centre
    // moved by (leanX, leanZ); a radius of 0 makes an apex. The top is capped when asked.
    void Frustum(const engine::Vec3& base, float r0, float r1, float height, int sides, float leanX, float leanZ,
                 bool capTop, bool capBottom) {
        std::vector<engine::Vec3> bottom, top;
        for (int k = 0; k < sides; ++k) {
            const float a = 2.0f * kPi * static_cast<float>(k) / static_cast<float>(sides);
            bottom.push_back({base.x + r0 * std::cos(a), base.y, base.z + r0 * std::sin(a)});
            top.push_back({base.x + leanX + r1 * std::cos(a), base.y + height, base.z + leanZ + r1 * std::sin(a)});
        }
        for (int k = 0; k < sides; ++k) {
            const std::size_t a = static_cast<std::size_t>(k), b = static_cast<std::size_t>((k + 1) % sides);
            if (r1 > 0.0f) Triangle(top[a], top[b], bottom[b]);
            if (r0 > 0.0f) Triangle(top[a], bottom[b], bottom[a]);
        }
        for (int k = 1; k + 1 < sides && capTop && r1 > 0.0f; ++k) {
            Triangle(top[0], top[static_cast<std::size_t>(k + 1)], top[static_cast<std::size_t>(k)]);
        }
        for (int k = 1; k + 1 < sides && capBottom && r0 > 0.0f; ++k) {
            Triangle(bottom[0], bottom[static_cast<std::size_t>(k)], bottom[static_cast<std::size_t>(k + 1)]);
        }
    }

    // A leaf: a flat blade from the root out along the angle, drooping at its tip; both faces.
    void Leaf(const engine::Vec3& root, float angle, float length, float droop) {
        const float c = std::cos(angle), s = std::sin(angle);
        const engine::Vec3 tip{root.x + c * length, root.y - droop, root.z + s * length};
        const engine::Vec3 mid{root.x + c * length * 0.5f, root.y + 0.02f, root.z + s * length * 0.5f};
        const engine::Vec3 left{mid.x - s * 0.07f, mid.y, mid.z + c * 0.07f};
        const engine::Vec3 right{mid.x + s * 0.07f, mid.y, mid.z - c * 0.07f};
        Triangle(root, left, tip);
        Triangle(root, tip, right);
        Triangle(root, tip, left);
        Triangle(root, right, tip);
    }

private:
    mdlbuild::AuthorMesh& mesh_;
    float u_ = 0.0f;
};

void Tree(ShapeSink& s, const engine::Vec3& at, float size) {
    s.Swatch(kBark);
    s.Frustum(at, 0.05f * size, 0.035f * size, 0.25f * size, 5, 0, 0, false, false);
    s.Swatch(kLeafDark);
    s.Frustum({at.x, at.y + 0.18f * size, at.z}, 0.28f * size, 0.0f, 0.45f * size, 6, 0, 0, false, true);
    s.Swatch(kLeafLight);
    s.Frustum({at.x, at.y + 0.45f * size, at.z}, 0.2f * size, 0.0f, 0.38f * size, 6, 0, 0, false, true);
}

void Palm(ShapeSink& s, const engine::Vec3& at, float height, float lean, int leaves) {
    s.Swatch(kBark);
    engine::Vec3 p = at;
    const float segment = height / 3.0f;
    for (int i = 0; i < 3; ++i) {
        const float step = lean * static_cast<float>(i + 1) / 3.0f;
        s.Frustum(p, 0.045f - 0.008f * i, 0.04f - 0.008f * i, segment, 5, step, 0.0f, false, false);
        p = {p.x + step, p.y + segment, p.z};
    }
    s.Swatch(kPalmLeaf);
    for (int i = 0; i < leaves; ++i) {
        s.Leaf(p, 2.0f * kPi * static_cast<float>(i) / static_cast<float>(leaves) + 0.3f, 0.32f, 0.12f);
    }
}

void Cactus(ShapeSink& s, const engine::Vec3& at, float height, int arms) {
    s.Swatch(kCactus);
    s.Frustum(at, 0.08f, 0.07f, height, 6, 0, 0, false, false);
    s.Frustum({at.x, at.y + height, at.z}, 0.07f, 0.0f, 0.05f, 6, 0, 0, false, false);
    for (int i = 0; i < arms; ++i) {
        const float side = i % 2 == 0 ? 1.0f : -1.0f;
        const engine::Vec3 root{at.x + side * 0.12f, at.y + height * (0.35f + 0.15f * i), at.z};
        s.Frustum(root, 0.05f, 0.045f, height * 0.4f, 5, 0, 0, true, true);
    }
}

void Crystal(ShapeSink& s, const engine::Vec3& at, float height, float radius, float leanX, float leanZ, bool light) {
    s.Swatch(light ? kCrystalLight : kCrystal);
    const float waist = height * 0.2f;
    s.Frustum(at, 0.0f, radius, waist, 6, leanX * 0.2f, leanZ * 0.2f, false, false);
    s.Frustum({at.x + leanX * 0.2f, at.y + waist, at.z + leanZ * 0.2f}, radius, 0.0f, height - waist, 6, leanX * 0.8f,
              leanZ * 0.8f, false, false);
}

}  // namespace

bool ParsePalette(const std::string& text, Palette& out, std::string& error) {
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        const std::size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::istringstream words(line);
        std::string name, value;
        if (!(words >> name)) continue;
        std::uint32_t rgb = 0;
        if (!(words >> value) || value.size() != 6 ||
            value.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
            error = "palette line " + std::to_string(number) + ": expected \"name RRGGBB\"";
            return false;
        }
        rgb = static_cast<std::uint32_t>(std::stoul(value, nullptr, 16));
        out[name] = rgb;
    }
    return true;
}

const std::vector<std::string>& CommonTextureTitles() {
    static const std::vector<std::string> titles = {"Grass",  "Heath", "Sand",      "Road",    "Pebbles",
                                                    "Forest", "Rock",  "Dirt",      "Snow",    "SnowDirt",
                                                    "Stone",  "White", "WaveNoise", "Scenery", "SnowScenery"};
    return titles;
}

bool CommonTextures(const Palette& palette, std::map<std::string, Picture>& out, std::string& error) {
    Rgb land, hill, shore, road, blocked, tree, wall;
    if (!Colour(palette, "land", land, error) || !Colour(palette, "hill", hill, error) ||
        !Colour(palette, "shore", shore, error) || !Colour(palette, "road", road, error) ||
        !Colour(palette, "blocked", blocked, error) || !Colour(palette, "tree", tree, error) ||
        !Colour(palette, "wall", wall, error)) {
        return false;
    }
    const Rgb snow{0.92f, 0.94f, 0.98f};
    out["Grass"] = Ground(land, 1, 0.3f);
    out["Heath"] = Ground(Mix(land, hill, 0.5f), 2, 0.35f);
    out["Sand"] = Ground(shore, 3, 0.2f);
    out["Road"] = Ground(road, 4, 0.0f);
    out["Pebbles"] = Ground(Mix(shore, blocked, 0.5f), 5, 0.0f);
    out["Forest"] = Ground(Mix(tree, hill, 0.3f), 6, 0.3f);
    out["Rock"] = Ground(Mix(blocked, wall, 0.5f), 7, 0.0f);
    out["Dirt"] = Ground(hill, 8, 0.0f);
    out["Snow"] = Ground(snow, 9, 0.25f);
    out["SnowDirt"] = Ground(Mix(snow, hill, 0.35f), 10, 0.0f);
    out["Stone"] = Stone(Mix(wall, road, 0.3f));
    Picture white = Blank(8, 8);
    out["White"] = white;
    out["WaveNoise"] = WaveNoise();
    const std::array<Rgb, kSwatches> scenery = {FromHex(0x5A4030),     tree,
                                                Mix(tree, land, 0.5f), FromHex(0x4E8A3A),
                                                FromHex(0x5E8C4A),     FromHex(0x8FD3F0),
                                                FromHex(0xC8F0FF),     Mix(blocked, wall, 0.5f)};
    std::array<Rgb, kSwatches> snowy = scenery;
    for (int i : {kLeafDark, kLeafLight, kPalmLeaf, kCactus}) {
        snowy[static_cast<std::size_t>(i)] = Mix(scenery[static_cast<std::size_t>(i)], snow, 0.55f);
    }
    out["Scenery"] = Swatches(scenery);
    out["SnowScenery"] = Swatches(snowy);
    return true;
}

Picture LevelShade(const game::HexMap& map) {
    const int size = 512;
    const MapFrame frame = FrameOf(map);
    Picture p = Blank(size, size);
    // Unit normals of the three pairs of hex edges.
    const float nx[3] = {0.0f, 0.8660254f, 0.8660254f}, nz[3] = {1.0f, 0.5f, -0.5f};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / size, v = (static_cast<float>(y) + 0.5f) / size;
            float wx = 0.0f, wz = 0.0f;
            frame.World(u, v, wx, wz);
            const int approx = static_cast<int>(std::lround((wx + 20.351f) / 0.866f));
            game::HexCoord best{};
            float bestDistance = 1e9f;
            for (int column = approx - 1; column <= approx + 1; ++column) {
                const float rowGuess = 18.5f - wz - ((column & 1) == 0 ? 0.5f : 0.0f);
                const int row0 = static_cast<int>(std::floor(rowGuess));
                for (int row = row0 - 1; row <= row0 + 2; ++row) {
                    const game::HexCoord hex = game::MakeHexCoord(column, row);
                    if (!game::IsValidHex(hex)) continue;
                    const engine::Vec2 c = game::HexToWorld(hex);
                    const float d = (c.x - wx) * (c.x - wx) + (c.y - wz) * (c.y - wz);
                    if (d < bestDistance) {
                        bestDistance = d;
                        best = hex;
                    }
                }
            }
            const game::HexTile& tile = map.GetTile(best);
            if (bestDistance > 1.0f || tile.terrain == game::kTerrainNone) {
                Put(p, x, y, {0.5f, 0.5f, 0.5f}, 1.0f);
                continue;
            }
            const engine::Vec2 c = game::HexToWorld(best);
            float edge = 0.0f;
            for (int i = 0; i < 3; ++i)
                edge = std::max(edge, std::fabs((wx - c.x) * nx[i] + (wz - c.y) * nz[i]) / 0.5f);
            const float line = 1.0f - 0.3f * std::clamp((edge - 0.86f) / 0.1f, 0.0f, 1.0f);
            const float level = tile.terrain == game::kTerrainWater
                                    ? 0.95f
                                    : std::min(1.0f, 0.8f + 0.05f * static_cast<float>(tile.level));
            const float shade = level * line;
            Put(p, x, y, {shade, shade, shade}, 1.0f);
        }
    }
    return p;
}

bool SceneryMesh(const std::string& kind, mdlbuild::AuthorMesh& out) {
    out = mdlbuild::AuthorMesh{};
    ShapeSink s(out);
    const engine::Vec3 o{0, 0, 0};
    if (kind == "Tree1") {
        Tree(s, o, 1.6f);
    } else if (kind == "Tree2") {
        Tree(s, {-0.15f, 0, 0.1f}, 1.4f);
        Tree(s, {0.17f, 0, -0.12f}, 1.15f);
    } else if (kind == "Tree3") {
        Tree(s, {0.0f, 0, 0.2f}, 1.1f);
        Tree(s, {-0.19f, 0, -0.12f}, 1.0f);
        Tree(s, {0.19f, 0, -0.12f}, 1.2f);
    } else if (kind.rfind("Palm", 0) == 0 && kind.size() == 5 && kind[4] >= '1' && kind[4] <= '5') {
        const int n = kind[4] - '0';
        Palm(s, o, 0.6f + 0.08f * n, 0.04f * (n % 3) + 0.05f, 5 + n % 3);
    } else if (kind.rfind("Cactus", 0) == 0 && kind.size() == 7 && kind[6] >= '1' && kind[6] <= '3') {
        const int n = kind[6] - '0';
        Cactus(s, o, 0.4f + 0.1f * n, n - 1);
    } else if (kind.rfind("Crystal", 0) == 0 && kind.size() == 8 && kind[7] >= '1' && kind[7] <= '3') {
        const int n = kind[7] - '0';
        Crystal(s, o, 0.45f + 0.1f * n, 0.1f, 0.0f, 0.0f, false);
        Crystal(s, {0.13f, 0, 0.05f}, 0.3f + 0.05f * n, 0.07f, 0.08f, 0.03f, true);
        Crystal(s, {-0.1f, 0, -0.09f}, 0.28f, 0.06f, -0.07f, -0.05f, n % 2 == 0);
        if (n == 3) Crystal(s, {-0.05f, 0, 0.14f}, 0.22f, 0.05f, -0.02f, 0.08f, true);
    } else {
        return false;
    }
    return true;
}

std::vector<std::uint8_t> EncodePicture(const Picture& picture) {
    return engine::EncodePng(engine::PackedSurface(engine::SurfaceFormat::kA8R8G8B8,
                                                   static_cast<std::uint32_t>(picture.width),
                                                   static_cast<std::uint32_t>(picture.height), picture.bgra.data()));
}

}  // namespace levelmodel
