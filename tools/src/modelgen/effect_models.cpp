// The effects: the particle sprites and their materials, the 29 particle containers (described in
// data/Models/Particles in the container text form) and the projectile models, each a mesh root (the
// projectile copies its root's mesh and material) flying along its +z axis.
#include <algorithm>
#include <cmath>
#include <functional>

#include "modelgen/effect_models.h"
#include "modelgen/mesh_kit.h"
#include "modelgen/unit_models.h"

namespace modelgen {
namespace {

constexpr const char* kSprites = "Particles/Sprites/";

std::uint32_t Argb(float a, std::uint32_t rgb) {
    const auto alpha = static_cast<std::uint32_t>(std::clamp(a, 0.0f, 1.0f) * 255.0f + 0.5f);
    return (alpha << 24) | (rgb & 0xFFFFFFu);
}

// A square picture from a function of the texel centre in -1..1.
std::vector<std::uint32_t> Picture(int size, const std::function<std::uint32_t(float x, float y)>& texel) {
    std::vector<std::uint32_t> texels(static_cast<std::size_t>(size * size));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(size) * 2.0f - 1.0f;
            const float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(size) * 2.0f - 1.0f;
            texels[static_cast<std::size_t>(y * size + x)] = texel(u, v);
        }
    }
    return texels;
}

void WriteSprites(ModelOutput& out) {
    // White sprites: the emitters' colour keys colour them.
    out.WritePng(std::string(kSprites) + "Puff", 64, 64, Picture(64, [](float x, float y) {
                     const float r = std::sqrt(x * x + y * y);
                     const float lump = 0.85f + 0.15f * std::sin(7.0f * std::atan2(y, x));
                     return Argb(std::pow(std::max(0.0f, 1.0f - r / lump), 1.5f), 0xFFFFFF);
                 }));
    out.WritePng(std::string(kSprites) + "Flame", 64, 64, Picture(64, [](float x, float y) {
                     const float r = std::sqrt(x * x + y * y);
                     return Argb(std::pow(std::max(0.0f, 1.0f - r), 2.0f) * 1.2f, 0xFFFFFF);
                 }));
    out.WritePng(std::string(kSprites) + "Spark", 32, 32, Picture(32, [](float x, float y) {
                     const float r = std::sqrt(x * x + y * y);
                     const float star =
                         std::max(0.0f, 1.0f - std::min(std::fabs(x), std::fabs(y)) * 8.0f) * std::max(0.0f, 1.0f - r);
                     return Argb(std::max(std::pow(std::max(0.0f, 1.0f - r), 3.0f), star), 0xFFFFFF);
                 }));
    out.WritePng(std::string(kSprites) + "Coin", 32, 32, Picture(32, [&out](float x, float y) {
                     const float r = std::sqrt(x * x + y * y);
                     if (r > 0.95f) return 0x00000000u;
                     return r > 0.75f ? out.PaletteColour("model_brass") : out.PaletteColour("model_yellow");
                 }));
    const std::pair<const char*, const char*> materials[] = {
        {"Smoke", "Puff"}, {"Blood", "Puff"}, {"Coin", "Coin"}, {"Fire", "Flame"}, {"Spark", "Spark"}};
    for (const auto& [name, texture] : materials) {
        const bool glow = std::string(name) == "Fire" || std::string(name) == "Spark";
        out.WriteMaterialFromSource(std::string(kSprites) + name,
                                    glow ? "Materials/sprite_glow.txt" : "Materials/sprite_alpha.txt",
                                    {{"texture", std::string(kSprites) + texture}});
    }
}

// The projectiles: each a mesh root with the plain paint, its mesh from "Models/Parts/<path>Mesh.txt".
void WriteProjectiles(ModelOutput& out) {
    for (const char* path :
         {"Projectiles/CanonBall", "Projectiles/Rocket", "Projectiles/FireSpit", "Projectiles/Grenade"}) {
        const std::string mesh = std::string(path) + "Mesh";
        MeshKit kit;
        PartMesh(out, mesh, kit);
        out.WriteModel(mesh, kit.Mesh());
        std::vector<cntbuild::AuthorNode> nodes(1);
        nodes[0].depth = -1;
        nodes[0].type = 1;
        nodes[0].mesh = mesh;
        nodes[0].material = kFixedMaterial;
        out.WriteContainer(path, nodes);
    }
}

}  // namespace

void WriteEffects(ModelOutput& out) {
    WriteSwatches(out);
    WriteSprites(out);
    for (const std::string& name : out.SourceNames("Particles")) {
        out.WriteContainerFromSource("Particles/" + name, "Particles/" + name + ".txt");
    }
    WriteProjectiles(out);
}

}  // namespace modelgen
