#include "modelgen/mesh_kit.h"

#include <algorithm>
#include <cmath>

namespace modelgen {
namespace {

constexpr int kSwatchColumns = 8;
constexpr int kSwatchTexels = 4;
constexpr int kTextureSize = kSwatchColumns * kSwatchTexels;
constexpr float kPi = 3.14159265f;

// The palette names of the swatches after "team", in enum order.
constexpr const char* kSwatchColours[kSwatchCount] = {"",
                                                      "model_skin",
                                                      "model_uniform",
                                                      "model_boots",
                                                      "model_gun",
                                                      "model_metal",
                                                      "model_dark",
                                                      "model_rubber",
                                                      "model_glass",
                                                      "model_wood",
                                                      "model_concrete",
                                                      "model_roof",
                                                      "model_deck",
                                                      "model_hull",
                                                      "model_white",
                                                      "model_yellow",
                                                      "model_red",
                                                      "model_rotor",
                                                      "model_canvas",
                                                      "model_brass",
                                                      "model_sand",
                                                      "model_green",
                                                      "model_snow",
                                                      "model_silver",
                                                      "model_bronze"};

// Two unit vectors across the axis a -> b.
void Across(const Vec3& axis, Vec3& u, Vec3& v) {
    const Vec3 d = axis.Normalised();
    const Vec3 helper = std::fabs(d.y) < 0.9f ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
    u = helper.Cross(d).Normalised();
    v = d.Cross(u).Normalised();
}

}  // namespace

std::string SwatchName(Swatch swatch) {
    if (swatch == kTeam) return "team";
    return std::string(kSwatchColours[swatch]).substr(6);
}

bool FindSwatch(const std::string& name, Swatch& swatch) {
    for (int s = 0; s < kSwatchCount; ++s) {
        if (SwatchName(static_cast<Swatch>(s)) == name) {
            swatch = static_cast<Swatch>(s);
            return true;
        }
    }
    return false;
}

void WriteSwatches(ModelOutput& out) {
    std::vector<std::uint32_t> texels(static_cast<std::size_t>(kTextureSize * kTextureSize), 0xFF000000u);
    for (int s = 0; s < kSwatchColumns * kSwatchColumns; ++s) {
        // Swatch 0 lets the team colour through; unused swatches stay black.
        std::uint32_t colour = 0xFF000000u;
        if (s == kTeam) colour = 0x00FFFFFFu;
        if (s > kTeam && s < kSwatchCount) colour = out.PaletteColour(kSwatchColours[s]);
        const int x0 = (s % kSwatchColumns) * kSwatchTexels;
        const int y0 = (s / kSwatchColumns) * kSwatchTexels;
        for (int y = 0; y < kSwatchTexels; ++y) {
            for (int x = 0; x < kSwatchTexels; ++x) {
                texels[static_cast<std::size_t>((y0 + y) * kTextureSize + x0 + x)] = colour;
            }
        }
    }
    out.WriteTexture(kSwatchTexture, kTextureSize, kTextureSize, texels);
    out.WriteMaterialFromSource(kFixedMaterial, "Materials/paint.txt", {{"texture", kSwatchTexture}});
}

int MeshKit::Vertex(const Vec3& position) {
    mdlbuild::AuthorVertex vertex;
    vertex.position = transform_.TransformPoint(position);
    if (bone_ >= 0) {
        vertex.bones[0] = static_cast<std::uint8_t>(bone_);
        vertex.weights[0] = 1.0f;
    }
    min_ = {std::min(min_.x, vertex.position.x), std::min(min_.y, vertex.position.y),
            std::min(min_.z, vertex.position.z)};
    max_ = {std::max(max_.x, vertex.position.x), std::max(max_.y, vertex.position.y),
            std::max(max_.z, vertex.position.z)};
    mesh_.vertices.push_back(vertex);
    return static_cast<int>(mesh_.vertices.size()) - 1;
}

void MeshKit::Triangle(const Vec3& a, const Vec3& b, const Vec3& c, bool twoSided) {
    const float u = static_cast<float>((swatch_ % kSwatchColumns) * kSwatchTexels + kSwatchTexels / 2) / kTextureSize;
    const float v = static_cast<float>((swatch_ / kSwatchColumns) * kSwatchTexels + kSwatchTexels / 2) / kTextureSize;
    const int first = Vertex(a);
    const int second = Vertex(b);
    const int third = Vertex(c);
    mdlbuild::AuthorTriangle triangle;
    triangle.corners[0] = first;
    triangle.corners[1] = second;
    triangle.corners[2] = third;
    for (auto& corner : triangle.uv) {
        corner[0] = corner[2] = u;
        corner[1] = corner[3] = v;
    }
    mesh_.triangles.push_back(triangle);
    if (twoSided) {
        std::swap(triangle.corners[1], triangle.corners[2]);
        mesh_.triangles.push_back(triangle);
    }
}

void MeshKit::Quad(const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d, bool twoSided) {
    Triangle(a, b, c, twoSided);
    Triangle(a, c, d, twoSided);
}

void MeshKit::Block(const Vec3 (&p)[8]) {
    // Faces seen from outside with their corners clockwise (the engine's front faces).
    Quad(p[4], p[7], p[6], p[5]);  // top
    Quad(p[0], p[1], p[2], p[3]);  // bottom
    Quad(p[0], p[4], p[5], p[1]);  // -z
    Quad(p[2], p[6], p[7], p[3]);  // +z
    Quad(p[3], p[7], p[4], p[0]);  // -x
    Quad(p[1], p[5], p[6], p[2]);  // +x
}

void MeshKit::Box(const Vec3& m, const Vec3& M) { Tapered(m, M, 0.0f, 0.0f); }

void MeshKit::Tapered(const Vec3& m, const Vec3& M, float ix, float iz) {
    const Vec3 corners[8] = {{m.x, m.y, m.z},           {M.x, m.y, m.z},           {M.x, m.y, M.z},
                             {m.x, m.y, M.z},           {m.x + ix, M.y, m.z + iz}, {M.x - ix, M.y, m.z + iz},
                             {M.x - ix, M.y, M.z - iz}, {m.x + ix, M.y, M.z - iz}};
    Block(corners);
}

void MeshKit::Prism(const Vec3& a, const Vec3& b, float r, int sides) {
    Vec3 u, v;
    Across(b - a, u, v);
    std::vector<Vec3> ring(static_cast<std::size_t>(sides));
    for (int i = 0; i < sides; ++i) {
        const float angle = 2.0f * kPi * static_cast<float>(i) / static_cast<float>(sides);
        ring[static_cast<std::size_t>(i)] = u * (std::cos(angle) * r) + v * (std::sin(angle) * r);
    }
    for (int i = 0; i < sides; ++i) {
        const Vec3& p = ring[static_cast<std::size_t>(i)];
        const Vec3& q = ring[static_cast<std::size_t>((i + 1) % sides)];
        Quad(a + p, a + q, b + q, b + p);
        if (i > 0 && i < sides - 1) {
            Triangle(a, a + q, a + p);
            Triangle(b, b + p, b + q);
        }
    }
}

void MeshKit::HexSlab(const Vec3& centre, float radius, float y0, float y1) {
    Vec3 ring[6];
    for (int i = 0; i < 6; ++i) {
        const float angle = kPi / 3.0f * static_cast<float>(i);
        ring[i] = {centre.x + radius * std::cos(angle), 0, centre.z + radius * std::sin(angle)};
    }
    const auto at = [&](int i, float y) { return Vec3{ring[i % 6].x, y, ring[i % 6].z}; };
    const Vec3 top{centre.x, y1, centre.z};
    const Vec3 bottom{centre.x, y0, centre.z};
    for (int i = 0; i < 6; ++i) {
        Triangle(top, at(i + 1, y1), at(i, y1));
        Triangle(bottom, at(i, y0), at(i + 1, y0));
        Quad(at(i, y0), at(i, y1), at(i + 1, y1), at(i + 1, y0));
    }
}

void MeshKit::Cone(const Vec3& a, const Vec3& b, float r, int sides) {
    Vec3 u, v;
    Across(b - a, u, v);
    for (int i = 0; i < sides; ++i) {
        const float a0 = 2.0f * kPi * static_cast<float>(i) / static_cast<float>(sides);
        const float a1 = 2.0f * kPi * static_cast<float>(i + 1) / static_cast<float>(sides);
        const Vec3 p = u * (std::cos(a0) * r) + v * (std::sin(a0) * r);
        const Vec3 q = u * (std::cos(a1) * r) + v * (std::sin(a1) * r);
        Triangle(a + p, a + q, b);
        Triangle(a, a + q, a + p);
    }
}

}  // namespace modelgen
