// Lighting models 1-4 of a material under one directional light (its registers set directly), drawn at
// several normals and checked against the lighting formulas evaluated on the CPU (within 3 of 255).
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "engine/render/light_flags.h"
#include "material_draw_fixture.h"

namespace {

using namespace engine;
using mtltest::ExpectPixel;
using mtltest::MaterialDrawTest;
using mtltest::MeshVertex;
using mtltest::NormalByte;
using mtltest::Unit;

using Colour = std::array<float, 4>;

float Saturate(float v) { return std::clamp(v, 0.0f, 1.0f); }
float Pow(float base, float exponent) { return std::pow(std::max(base, 1e-30f), exponent); }
Colour Rgba(std::uint32_t argb) { return {Unit(argb, 16), Unit(argb, 8), Unit(argb, 0), Unit(argb, 24)}; }

struct Scene {
    Colour matColour = {0.9f, 0.8f, 0.7f, 0.6f};
    std::uint32_t vertexColour = 0xF0FFE0C0u;
    std::uint32_t ambient = 0xFF202830u;
    std::uint32_t diffuse = 0xFFC0B0A0u;
    std::uint32_t specular = 0xFFE0F0FFu;
    float specularPower = 2.0f;  // SpecularValues.x = 4
    float specularStrength = 0.5f;
    float cookScale = 0.6f, cookRoughness = 0.3f, cookFresnel = 0.9f;
    Vec3 lightDir = Vec3{0.3f, -0.2f, 0.9f}.Normalised();  // the way the light travels
    Colour lightColour = {1.0f, 0.9f, 0.8f, 1.0f};
    Vec3 view{0, 0, -1};  // towards a camera far down -z
};

// The pixel the generated shader computes for a surface normal under the directional light.
Colour Expected(const Scene& s, int model, const Vec3& n) {
    const Vec3 l = s.lightDir;
    const Vec3 v = s.view;
    const float nl = n.Negate().Dot(l);  // dot(-N, L)
    Vec3 diffuse{0, 0, 0};
    Colour specular = {0, 0, 0, 1};
    const Vec3 col{s.lightColour[0], s.lightColour[1], s.lightColour[2]};
    if (model == 1 || model == 2 || model == 3) diffuse = col * Saturate(nl);
    if (model == 4) {
        diffuse = col * (Pow(Saturate(v.Dot(n) * nl), s.specularPower * s.specularPower) * std::max(0.0f, nl));
    }
    float specTerm = 0;
    if (model == 2) {
        const Vec3 half = (v - l).Normalised();
        specTerm = Pow(Saturate(n.Dot(half)), s.specularPower * s.specularPower) * s.specularStrength;
    }
    if (model == 3) {
        const Vec3 lv = l.Negate();
        const Vec3 h = (lv + v).Normalised();
        const float ndoth = std::max(0.0f, n.Dot(h));
        const float ndotv = n.Dot(v);
        const float ndotl = n.Dot(lv);
        const float alpha = std::acos(Saturate(ndoth)) / s.cookRoughness;
        const float d = s.cookScale * std::exp(-(alpha * alpha));
        const float g1 = 2 * ndotv;
        const float g2 = 2 * ndoth * ndotl / (Saturate(ndoth) + 0.00001f);
        const float g = std::min(1.0f, std::max(0.0f, std::min(g1, g2)));
        const float f = s.cookFresnel + (1 - s.cookFresnel) * Pow(1 - ndotl, 5);
        specTerm = Saturate(Saturate(f * d * g / (Saturate(ndotl * ndotv) + 0.00001f)));
    }
    if (model == 2 || model == 3) {
        for (int c = 0; c < 3; ++c) specular[c] = specTerm * s.lightColour[c];
        const float glow = specTerm * s.lightColour[3];
        specular[3] = 1 - glow * glow;
    }
    const Colour amb = Rgba(s.ambient), dif = Rgba(s.diffuse), spc = Rgba(s.specular), vc = Rgba(s.vertexColour);
    const float calc[3] = {diffuse.x, diffuse.y, diffuse.z};
    Colour out;
    for (int c = 0; c < 3; ++c) {
        const float lighting = (amb[c] + dif[c] * calc[c]) * vc[c];
        out[c] = s.matColour[c] * lighting + ((model == 2 || model == 3) ? spc[c] * specular[c] : 0.0f);
    }
    out[3] = s.matColour[3] * ((model == 2 || model == 3) ? specular[3] : 1.0f);
    return out;
}

TEST_F(MaterialDrawTest, LightingModelsMatchTheFormulasAtSeveralNormals) {
    const Scene s;
    const Vec3 normals[] = {{0, 0, -1}, {0.5f, 0, -0.8f}, {-0.3f, 0.6f, -0.7f}, {0.2f, -0.4f, -0.9f},
                            {-0.6f, -0.3f, -0.5f}, {0.1f, 0.2f, 0.97f}};
    manager->SetLightFlags(kLightDirectional);
    for (int model = 1; model <= 4; ++model) {
        MaterialDef material;
        material.shaderSetIndex = kSetPlainColour;
        material.lightingModel = model;
        material.colours[0] = {s.matColour[0], s.matColour[1], s.matColour[2], s.matColour[3]};
        material.ambientColour = s.ambient;
        material.diffuseColour = s.diffuse;
        material.specularColour = s.specular;
        material.specularPower = s.specularPower;
        material.specularStrength = s.specularStrength;
        material.cookScale = s.cookScale;
        material.cookRoughness = s.cookRoughness;
        material.cookFresnel = s.cookFresnel;
        for (const Vec3& wanted : normals) {
            MeshVertex v;
            v.colour = s.vertexColour;
            const Vec3 unit = wanted.Normalised();
            v.normal[0] = NormalByte(unit.x);
            v.normal[1] = NormalByte(unit.y);
            v.normal[2] = NormalByte(unit.z);
            // The normal the shader sees: the bytes decoded, then normalised.
            const Vec3 n = Vec3{v.normal[0] / 127.0f - 1, v.normal[1] / 127.0f - 1, v.normal[2] / 127.0f - 1}
                               .Normalised();
            pixelShaders_->SetPixelVector(Vec4{s.lightDir.x, s.lightDir.y, s.lightDir.z, 1}, 17);
            pixelShaders_->SetPixelVector(
                Vec4{s.lightColour[0], s.lightColour[1], s.lightColour[2], s.lightColour[3]}, 18);
            pixelShaders_->SetPixelVector(Vec4{0, 0, -100000, 1}, 11);
            ASSERT_TRUE(Draw(material, v));
            ExpectPixel(Centre(), Expected(s, model, n), 3,
                        "model " + std::to_string(model) + " normal (" + std::to_string(unit.x) + ", " +
                            std::to_string(unit.y) + ", " + std::to_string(unit.z) + ")");
        }
    }
}

}  // namespace
