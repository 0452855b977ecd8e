// The rest of what the battle and its screens show: the trophies of the win screen, the movement marker,
// the help icon, the capture marker's spanner and countdown, and the pictures of the sky, craters, snow,
// shadows and tile markers.
#include <algorithm>
#include <cmath>
#include <functional>

#include "modelgen/actions.h"
#include "modelgen/mesh_kit.h"
#include "modelgen/misc_models.h"
#include "modelgen/unit_models.h"

namespace modelgen {
namespace {

using engine::Matrix44;

constexpr float kPi = 3.14159265f;

std::uint32_t Argb(float a, float r, float g, float b) {
    const auto byte = [](float v) { return static_cast<std::uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); };
    return (byte(a) << 24) | (byte(r) << 16) | (byte(g) << 8) | byte(b);
}

float Channel(std::uint32_t colour, int shift) { return static_cast<float>((colour >> shift) & 0xFF) / 255.0f; }

// Texels of a picture from a function of the texel's column and row.
std::vector<std::uint32_t> Texels(int width, int height, const std::function<std::uint32_t(int x, int y)>& texel) {
    std::vector<std::uint32_t> texels(static_cast<std::size_t>(width * height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) texels[static_cast<std::size_t>(y * width + x)] = texel(x, y);
    }
    return texels;
}

// A repeatable pseudo-random value in 0..1 of two integers and a seed.
float Hash(int x, int y, int seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                      static_cast<std::uint32_t>(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<float>((h ^ (h >> 16)) & 0xFFFFu) / 65535.0f;
}

// A trophy: its cup under a group root, from "Models/Parts/<folder>Trophy.txt".
void Trophy(ModelOutput& out, const std::string& folder) {
    out.WriteContainer(folder + "Trophy", PartTree(out, folder + "Trophy", kFixedMaterial));
}

// The marker where a unit is sent: a chevron that drops onto a ring and settles, once (a hold the game
// waits on before it takes the marker away).
void MovementMarker(ModelOutput& out) {
    std::vector<cntbuild::AuthorNode> nodes = PartTree(out, "Markers/Movement/Marker", kFixedMaterial);
    if (nodes.size() != 2) {
        out.Fault("Models/Parts/Markers/Movement/Marker.txt: the marker is one node, the chevron");
        return;
    }
    cntbuild::AuthorNode& node = nodes[1];
    const ActionPlan plan{"default", cntbuild::EndMode::kHold, "", 0.8f, {}};
    const int frames = FrameCount(plan);
    for (int f = 0; f < frames; ++f) {
        const float t = static_cast<float>(f) / static_cast<float>(frames - 1);
        const float drop = (1.0f - t) * (1.0f - t) * 0.5f;
        const float scale = 1.3f - 0.3f * t;
        Matrix44 m;
        m.SetScale(scale, 1.0f, scale);
        m.SetRow(3, {0, drop, 0});
        node.frames.push_back(m);
    }
    out.WriteContainer("Markers/Movement/Marker", nodes, BakeActions({plan}, 0));
}

// A question mark on a disc, about 0.6 tall, of mesh nodes so a tap can pick it.
void HelpIcon(ModelOutput& out) {
    MeshKit mesh;
    PartMesh(out, "HelpIcon/IconMesh", mesh);
    std::vector<cntbuild::AuthorNode> nodes(1);
    nodes[0].depth = -1;
    nodes[0].type = 1;
    nodes[0].mesh = "HelpIcon/IconMesh";
    nodes[0].material = kFixedMaterial;
    out.WriteModel("HelpIcon/IconMesh", mesh.Mesh());
    out.WriteContainer("HelpIcon/Icon", nodes);
}

// A spanner about 0.15 across (the capture marker scales it by 4 to 5) and its countdown picture.
void Spanner(ModelOutput& out) {
    MeshKit mesh;
    PartMesh(out, "Vezuzed/spanner", mesh);
    for (auto& triangle : mesh.Mesh().triangles) triangle.material = kFixedMaterial;
    out.WriteModel("Vezuzed/spanner", mesh.Mesh());
    out.WritePng("Vezuzed/DRUV_countdown_spanner_grey", 64, 64, Texels(64, 64, [](int x, int y) {
                     const float u = (static_cast<float>(x) + 0.5f) / 32.0f - 1.0f;
                     const float v = (static_cast<float>(y) + 0.5f) / 32.0f - 1.0f;
                     const float r = std::sqrt(u * u + v * v);
                     const float ring = std::clamp(1.0f - std::fabs(r - 0.8f) * 12.0f, 0.0f, 1.0f);
                     return Argb(ring, 0.7f, 0.7f, 0.72f);
                 }));
}

// The sky's six faces, coloured by direction only, so the edges match.
void Sky(ModelOutput& out) {
    constexpr int kSize = 128;
    const std::uint32_t zenith = out.PaletteColour("sky_zenith");
    const std::uint32_t horizon = out.PaletteColour("sky_horizon");
    const std::uint32_t ground = out.PaletteColour("sky_ground");
    const char* faces[6] = {"_X", "_NX", "_Y", "_NY", "_Z", "_NZ"};
    for (int face = 0; face < 6; ++face) {
        out.WritePng(std::string("Common/Calm") + faces[face], kSize, kSize, Texels(kSize, kSize, [&](int x, int y) {
                         const float s = (static_cast<float>(x) + 0.5f) / kSize * 2.0f - 1.0f;
                         const float t = (static_cast<float>(y) + 0.5f) / kSize * 2.0f - 1.0f;
                         Vec3 d;
                         switch (face) {
                             case 0:
                                 d = {1, -t, -s};
                                 break;
                             case 1:
                                 d = {-1, -t, s};
                                 break;
                             case 2:
                                 d = {s, 1, t};
                                 break;
                             case 3:
                                 d = {s, -1, -t};
                                 break;
                             case 4:
                                 d = {s, -t, 1};
                                 break;
                             default:
                                 d = {-s, -t, -1};
                                 break;
                         }
                         d = d.Normalised();
                         const std::uint32_t top = d.y >= 0 ? zenith : ground;
                         const float f = std::pow(std::fabs(d.y), d.y >= 0 ? 0.6f : 0.4f);
                         const float sun = std::pow(std::max(0.0f, d.Dot(Vec3{0.5f, 0.6f, 0.62f}.Normalised())), 64.0f);
                         const auto mix = [&](int shift) {
                             return Channel(horizon, shift) * (1 - f) + Channel(top, shift) * f + sun * 0.6f;
                         };
                         return Argb(1.0f, mix(16), mix(8), mix(0));
                     }));
    }
}

// Craters: 4 x 4 cells of 128, scorch marks (kind 0) in the upper half, shell holes (kind 1) in the lower.
void Craters(ModelOutput& out) {
    constexpr int kCell = 128;
    const auto depth = [](int x, int y, float& alpha) {
        const int cell = (y / kCell) * 4 + x / kCell;
        const bool hole = y >= 2 * kCell;
        const float u = (static_cast<float>(x % kCell) + 0.5f) / (kCell / 2.0f) - 1.0f;
        const float v = (static_cast<float>(y % kCell) + 0.5f) / (kCell / 2.0f) - 1.0f;
        const float angle = std::atan2(v, u);
        const float wobble =
            0.8f + 0.12f * std::sin(angle * 5.0f + cell) + 0.06f * std::sin(angle * 11.0f + 2.0f * cell);
        const float r = std::sqrt(u * u + v * v) / wobble;
        alpha = r < 1.0f ? 1.0f : 0.0f;
        if (!hole) return 0.0f;
        return r < 0.7f ? (1.0f - r / 0.7f) * -1.0f : std::max(0.0f, 1.0f - std::fabs(r - 0.82f) * 8.0f) * 0.5f;
    };
    out.WritePng("Common/DRUV_craters", 4 * kCell, 4 * kCell, Texels(4 * kCell, 4 * kCell, [&](int x, int y) {
                     float alpha = 0.0f;
                     const float d = depth(x, y, alpha);
                     const float grain = 0.8f + 0.2f * Hash(x, y, 3);
                     const float dark = y < 2 * kCell ? 0.12f * grain : (0.25f + 0.2f * d) * grain;
                     return Argb(alpha, dark * 1.1f, dark, dark * 0.9f);
                 }));
    out.WritePng(
        "Common/DRUV_craters_normals", 4 * kCell, 4 * kCell, Texels(4 * kCell, 4 * kCell, [&](int x, int y) {
            float alpha = 0.0f;
            const float dx = depth(std::min(x + 1, 4 * kCell - 1), y, alpha) - depth(std::max(x - 1, 0), y, alpha);
            const float dy = depth(x, std::min(y + 1, 4 * kCell - 1), alpha) - depth(x, std::max(y - 1, 0), alpha);
            Vec3 n = Vec3{-dx * 8.0f, -dy * 8.0f, 1.0f}.Normalised();
            depth(x, y, alpha);
            return Argb(alpha, n.x * 0.5f + 0.5f, n.y * 0.5f + 0.5f, n.z * 0.5f + 0.5f);
        }));
}

// White on transparent; the marker materials tint them. The marker square covers one hex cell.
void TileMarkers(ModelOutput& out) {
    constexpr int kSize = 128;
    const auto hexDistance = [](float u, float v) {
        // 0 at the centre, 1 on the edge of a hex 0.9 across its flats in a square of side 1.
        const float x = std::fabs(u), z = std::fabs(v);
        return std::max(z, 0.8660254f * x + 0.5f * z) / 0.9f;
    };
    const auto picture = [&](const std::function<float(float u, float v)>& alpha) {
        return Texels(kSize, kSize, [&](int x, int y) {
            const float u = (static_cast<float>(x) + 0.5f) / kSize * 2.0f - 1.0f;
            const float v = (static_cast<float>(y) + 0.5f) / kSize * 2.0f - 1.0f;
            return Argb(alpha(u, v), 1, 1, 1);
        });
    };
    out.WritePng("Common/MoveMarker", kSize, kSize, picture([&](float u, float v) {
                     const float d = hexDistance(u, v);
                     return d > 1.0f ? 0.0f : (d > 0.85f ? 1.0f : 0.45f);
                 }));
    out.WritePng("Common/FireMarker", kSize, kSize, picture([&](float u, float v) {
                     const float d = hexDistance(u, v);
                     const float r = std::sqrt(u * u + v * v);
                     const bool ring = std::fabs(r - 0.5f) < 0.06f;
                     const bool cross = (std::fabs(u) < 0.04f || std::fabs(v) < 0.04f) && r < 0.75f && r > 0.2f;
                     return d > 1.0f ? 0.0f : (ring || cross || d > 0.88f ? 1.0f : 0.25f);
                 }));
    out.WritePng("Common/ExitMarker", kSize, kSize, picture([&](float u, float v) {
                     const float d = hexDistance(u, v);
                     const bool shaft = std::fabs(u) < 0.08f && v > -0.1f && v < 0.5f;
                     const bool head = v <= -0.1f && v > -0.55f && std::fabs(u) < (v + 0.55f) * 0.9f;
                     return d > 1.0f ? 0.0f : (shaft || head || d > 0.88f ? 1.0f : 0.25f);
                 }));
}

void SmallPictures(ModelOutput& out) {
    out.WritePng("Common/DRUV_snowflake", 32, 32, Texels(32, 32, [](int x, int y) {
                     const float u = (static_cast<float>(x) + 0.5f) / 16.0f - 1.0f;
                     const float v = (static_cast<float>(y) + 0.5f) / 16.0f - 1.0f;
                     const float r = std::sqrt(u * u + v * v);
                     const float a = std::atan2(v, u);
                     const float arms = std::max(0.0f, std::cos(a * 6.0f)) * std::max(0.0f, 1.0f - r);
                     return Argb(std::clamp(arms * 1.5f + std::max(0.0f, 1.0f - r * 3.0f), 0.0f, 1.0f), 1, 1, 1);
                 }));
    // Drawn as dest x (1 - src): light at the centre where the shadow is darkest.
    out.WritePng("Common/DRUV_shadow", 64, 64, Texels(64, 64, [](int x, int y) {
                     const float u = (static_cast<float>(x) + 0.5f) / 32.0f - 1.0f;
                     const float v = (static_cast<float>(y) + 0.5f) / 32.0f - 1.0f;
                     const float r = std::sqrt(u * u + v * v);
                     const float shade =
                         0.6f * std::clamp(1.0f - r, 0.0f, 1.0f) * std::clamp((1.0f - r) * 3.0f, 0.0f, 1.0f);
                     return Argb(1.0f, shade, shade, shade);
                 }));
}

}  // namespace

void WriteMisc(ModelOutput& out) {
    WriteSwatches(out);
    Trophy(out, "Trophies/Gold/");
    Trophy(out, "Trophies/Silver/");
    Trophy(out, "Trophies/Bronze/");
    Trophy(out, "Trophies/Fail/");
    MovementMarker(out);
    HelpIcon(out);
    Spanner(out);
    Sky(out);
    Craters(out);
    TileMarkers(out);
    SmallPictures(out);
}

}  // namespace modelgen
