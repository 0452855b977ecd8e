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

// A projectile: a mesh root with its material.
void Projectile(ModelOutput& out, const std::string& path, MeshKit& kit) {
    out.WriteModel(path + "Mesh", kit.Mesh());
    std::vector<cntbuild::AuthorNode> nodes(1);
    nodes[0].depth = -1;
    nodes[0].type = 1;
    nodes[0].mesh = path + "Mesh";
    nodes[0].material = kFixedMaterial;
    out.WriteContainer(path, nodes);
}

void WriteProjectiles(ModelOutput& out) {
    // A shell about 1 across, drawn at 0.05 to 0.07.
    MeshKit ball;
    ball.SetSwatch(kDark);
    ball.Prism({0, 0, -0.25f}, {0, 0, 0.25f}, 0.5f, 8);
    ball.Cone({0, 0, 0.25f}, {0, 0, 0.5f}, 0.5f, 8);
    ball.Cone({0, 0, -0.25f}, {0, 0, -0.5f}, 0.5f, 8);
    Projectile(out, "Projectiles/CanonBall", ball);
    // A rocket 0.4 long along z, nose forward.
    MeshKit rocket;
    rocket.SetSwatch(kWhite);
    rocket.Prism({0, 0, -0.2f}, {0, 0, 0.12f}, 0.03f, 6);
    rocket.SetSwatch(kRed);
    rocket.Cone({0, 0, 0.12f}, {0, 0, 0.2f}, 0.03f, 6);
    rocket.SetSwatch(kDark);
    rocket.Box({-0.07f, -0.004f, -0.2f}, {0.07f, 0.004f, -0.12f});
    rocket.Box({-0.004f, -0.07f, -0.2f}, {0.004f, 0.07f, -0.12f});
    Projectile(out, "Projectiles/Rocket", rocket);
    // A glowing spit of fire.
    MeshKit spit;
    spit.SetSwatch(kYellow);
    spit.Cone({0, 0, 0.0f}, {0, 0, 0.12f}, 0.05f, 6);
    spit.SetSwatch(kRed);
    spit.Cone({0, 0, 0.0f}, {0, 0, -0.2f}, 0.05f, 6);
    Projectile(out, "Projectiles/FireSpit", spit);
    // A hand grenade.
    MeshKit grenade;
    grenade.SetSwatch(kGreen);
    grenade.Prism({0, 0, -0.035f}, {0, 0, 0.035f}, 0.03f, 6);
    grenade.SetSwatch(kMetal);
    grenade.Box({-0.008f, 0.03f, -0.008f}, {0.008f, 0.045f, 0.008f});
    Projectile(out, "Projectiles/Grenade", grenade);
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
