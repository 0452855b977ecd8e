// Each shader set drawn over a full-screen quad with fixed textures, checked against the colour worked out
// on the CPU (within 2 of 255 per channel).
#include <array>
#include <cmath>
#include <vector>

#include "engine/render/light_flags.h"
#include "material_draw_fixture.h"

namespace {

using namespace engine;
using mtltest::ExpectPixel;
using mtltest::MaterialDrawTest;
using mtltest::MeshVertex;
using mtltest::Unit;

using Colour = std::array<float, 4>;

Colour Rgba(std::uint32_t argb) { return {Unit(argb, 16), Unit(argb, 8), Unit(argb, 0), Unit(argb, 24)}; }

Colour Times(const Colour& a, const Colour& b) { return {a[0] * b[0], a[1] * b[1], a[2] * b[2], a[3] * b[3]}; }

MaterialDef Material(int set, int model = 0) {
    MaterialDef material;
    material.shaderSetIndex = set;
    material.lightingModel = model;
    return material;
}

TEST_F(MaterialDrawTest, PlainTextureAndDecalColours) {
    MeshVertex v;
    v.colour = 0xC0FFE0A0u;
    const Colour vertex = Rgba(v.colour);

    MaterialDef plain = Material(kSetPlainColour);
    plain.colours[0] = {0.2f, 0.4f, 0.6f, 0.8f};
    ASSERT_TRUE(Draw(plain, v));
    ExpectPixel(Centre(), Times({0.2f, 0.4f, 0.6f, 0.8f}, vertex), 2, "JUSTCOL");

    MaterialDef textured = Material(kSetTexture);
    textured.textures[0] = Solid(0xFF4080C0u);
    textured.colours[0] = {1, 0.5f, 1, 1};
    ASSERT_TRUE(Draw(textured, v));
    ExpectPixel(Centre(), Times(Times(Rgba(0xFF4080C0u), {1, 0.5f, 1, 1}), vertex), 2, "TEXTURE");

    // The decal fades over the base colour by its alpha, the colour's and the vertex's.
    MaterialDef decal = Material(kSetColourDecal);
    decal.textures[0] = Solid(0x80FF0000u);
    decal.colours[0] = {0, 0, 1, 1};
    v.colour = 0x80FFFFFFu;
    ASSERT_TRUE(Draw(decal, v));
    const float fader = Unit(0x80, 0) * Unit(0x80, 0);
    ExpectPixel(Centre(), {fader, 0, 1 - fader, Unit(0x80, 0)}, 2, "COLOURD");
}

TEST_F(MaterialDrawTest, TerrainBlendsItsTwoTexturesByTheFirstsAlpha) {
    MaterialDef terrain = Material(kSetTerrain);
    terrain.textures[0] = Solid(0x40FF0000u);
    terrain.textures[1] = Solid(0xFF00FF00u);
    terrain.textures[3] = Solid(0xFF8080FFu);
    terrain.colours[0] = {0.1f, 0.2f, 0.3f, 1};
    MeshVertex v;
    v.colour = 0xC0FFFFFFu;
    ASSERT_TRUE(Draw(terrain, v));
    const float pixA = Unit(0x40, 0), fader = Unit(0xC0, 0);
    const Colour top = {pixA, 1 - pixA, 0, 0};
    const Colour modulate = Rgba(0xFF8080FFu);
    Colour expected;
    for (int c = 0; c < 3; ++c) {
        const float base = c == 0 ? 0.1f : (c == 1 ? 0.2f : 0.3f);
        expected[c] = base * (1 - fader) + top[c] * modulate[c] * fader;
    }
    expected[3] = fader;
    ExpectPixel(Centre(), expected, 2, "DRUVLAND");
}

// An 8 x 8 atlas of 8 x 8-texel cells, cell (x, y) coloured (32x, 32y, 200).
std::uint32_t AtlasTexel(int x, int y) {
    return 0xFF000000u | static_cast<std::uint32_t>((x / 8) * 32) << 16 | static_cast<std::uint32_t>((y / 8) * 32) << 8 |
           200u;
}

TEST_F(MaterialDrawTest, BlockCellsRepeatTowardZeroForNegativeCoordinates) {
    MaterialDef block = Material(kSetBlock);
    block.textures[0] = MakeTexture(64, 64, AtlasTexel);
    block.colours[0] = {1, 1, 0.5f, 1};
    MeshVertex v;
    v.colour = 0xFF80FFFFu;  // only red shades the block
    v.uv1[0] = -3;           // x 0.5 = -1.5: fmod gives -0.5 (a floored modulo would give 0.5)
    v.uv1[1] = -1;           // -0.5
    v.uv2[0] = 2;
    v.uv2[1] = 3;
    ASSERT_TRUE(Draw(block, v));
    // (-0.5 + 2, -0.5 + 3) / 8 = (0.1875, 0.3125): texel (12, 20), cell (1, 2).
    const float shade = Unit(0x80, 0);
    ExpectPixel(Centre(), {32 / 255.0f * shade, 64 / 255.0f * shade, 200 / 255.0f * shade * 0.5f, 1}, 2, "BLOX");

    // Without a texture the block samples nothing, not the texture the draw before left on stage 0.
    MaterialDef textured = Material(kSetTexture);
    textured.textures[0] = Solid(0xFFFFFFFFu);
    ASSERT_TRUE(Draw(textured, MeshVertex{}));
    ExpectPixel(Centre(), {1, 1, 1, 1}, 2, "TEXTURE before");
    MaterialDef bare = Material(kSetBlock);
    ASSERT_TRUE(Draw(bare, v));
    const std::array<int, 4> pixel = Centre();
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 0);
    EXPECT_EQ(pixel[2], 0);
}

TEST_F(MaterialDrawTest, FurShellsShowTheFurBelowItsAlphaOnly) {
    MaterialDef fur = Material(kSetFur);
    const int furTexture = Solid(0x80C08040u);
    struct Case {
        float shell;
        Colour expected;
    };
    const float brighten = 0.5f + 1.5f * 0.25f;
    const Case cases[] = {
        {0.25f, {Unit(0xC0, 0) * brighten, Unit(0x80, 0) * brighten, Unit(0x40, 0) * brighten, 1}},
        {0.75f, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        device_->SetDepthMode(false, false, false);
        device_->SetCullMode(sys::kCullNone);
        device_->SetBlendMode(0);
        ASSERT_EQ(manager->BindMaterial(fur, nullptr, &identity, false, false), 1);
        // What the fur pass sets: FurParams and the fur texture.
        pixelShaders_->SetPixelVector(Vec4{c.shell, 1, 0, 0}, 0);
        device_->SetTexture(0, furTexture);
        device_->SetTextureFilter(0, 0, 0);
        DrawBound(MeshVertex{});
        ExpectPixel(Centre(), c.expected, 2, c.shell < 0.5f ? "below the fur's alpha" : "above it");
    }
}

// Water: point-sampled 2 x 2 textures so that the CPU can follow every tap.
struct Texels2x2 {
    std::uint32_t t[4];  // (0,0), (1,0), (0,1), (1,1)
    Colour At(float u, float v) const {
        const auto index = [](float a) { return static_cast<int>(std::floor((a - std::floor(a)) * 2.0f)); };
        return Rgba(t[index(v) * 2 + index(u)]);
    }
};

Vec3 Decode(const Colour& c) { return {c[0] * 2 - 1, c[1] * 2 - 1, (c[2] * 2 - 1) * 0.3f}; }

class WaterPixels : public MaterialDrawTest {
protected:
    // Column 0 flat, column 1 tilted towards +x.
    const Texels2x2 waves{{0xFF8080FFu, 0xFFE080C0u, 0xFF8080FFu, 0xFFE080C0u}};
    const Texels2x2 fog{{0xFFFF8080u, 0xFF80FF80u, 0xFF8080FFu, 0xFFFFFFFFu}};
    const std::uint32_t tiles = 0xFF60A0E0u;
    const float speed = 0.01f;
    const Vec3 lightDir{0, 0, 1};
    const std::uint32_t ambient = 0xFF202020u;

    int Texture(const Texels2x2& texels) {
        return MakeTexture(2, 2, [&texels](int x, int y) { return texels.t[y * 2 + x]; });
    }

    MaterialDef Water(int set) {
        MaterialDef water = Material(set, 1);
        water.flags = kMaterialPointFilter;
        water.ambientColour = ambient;
        water.diffuseColour = 0xFFFFFFFFu;
        water.textures[0] = Texture(waves);
        water.colours[1] = {0, speed, speed, 1};
        if (set == kSetWater) {
            water.textures[3] = Solid(tiles);
        } else {
            water.textures[2] = Solid(0x80FFFFFFu);  // fog amount
            water.textures[3] = Solid(tiles);
            water.textures[4] = Texture(fog);
        }
        return water;
    }

    std::array<int, 4> DrawAt(MaterialDef& water, double milliseconds) {
        SetTime(milliseconds);
        manager->SetLightFlags(kLightDirectional);
        pixelShaders_->SetPixelVector(Vec4{lightDir.x, lightDir.y, lightDir.z, 1}, 17);
        pixelShaders_->SetPixelVector(Vec4{1, 1, 1, 1}, 18);
        pixelShaders_->SetPixelVector(Vec4{0, 0, -10, 1}, 11);
        MeshVertex v;
        v.uv1[0] = v.uv1[1] = 1024;
        v.uv2[0] = v.uv2[1] = 205;
        EXPECT_TRUE(Draw(water, v));
        return Centre();
    }

    // The lit water colour at time t (seconds), before fog.
    Colour LitWater(float t) const {
        const float uv1 = 1024 / 4095.0f;
        const Colour munk = waves.At(uv1, uv1);
        const Vec3 w1 = Decode(waves.At(uv1 + munk[0] + t * speed, uv1 + munk[0]));
        const Vec3 w2 = Decode(waves.At(uv1 + munk[1], uv1 + munk[1] + t * speed));
        const Vec3 wave = (w1 + w2).Normalised();
        const Vec3 tangent{1, 0, 0}, binormal{0, -1, 0}, normal{0, 0, -1};
        const Vec3 n = (tangent * wave.x + binormal * wave.y + normal * wave.z).Normalised();
        const float diffuse = std::clamp(n.Negate().Dot(lightDir), 0.0f, 1.0f);
        const Colour grid = Rgba(tiles);
        Colour out;
        for (int c = 0; c < 3; ++c) out[c] = grid[c] * (Unit(ambient, 16 - 8 * c) + diffuse);
        out[3] = 1;
        return out;
    }

    Colour FoggedWater(float t) const {
        const Colour lit = LitWater(t);
        const float uv2 = 205 / 4095.0f * 5;
        const float shift = t * 0.01f;
        const Colour a = fog.At(uv2 + shift, uv2), b = fog.At(uv2, uv2 + shift + 0.5f);
        const float fogVal = Unit(0x80, 0);
        Colour out;
        for (int c = 0; c < 3; ++c) out[c] = a[c] * b[c] + (lit[c] - a[c] * b[c]) * fogVal;
        out[3] = 1;
        return out;
    }
};

TEST_F(WaterPixels, WavesMoveWithTheFrameTimer) {
    MaterialDef water = Water(kSetWater);
    const std::array<int, 4> first = DrawAt(water, 0);
    ExpectPixel(first, LitWater(0), 2, "DRUVWATA at 0 s");
    const std::array<int, 4> later = DrawAt(water, 50000);
    ExpectPixel(later, LitWater(50), 2, "DRUVWATA at 50 s");
    EXPECT_NE(first, later);
}

TEST_F(WaterPixels, SecondWaterAddsScrollingFog) {
    MaterialDef water = Water(kSetWater2);
    const std::array<int, 4> first = DrawAt(water, 0);
    ExpectPixel(first, FoggedWater(0), 2, "DRUV2WAT at 0 s");
    const std::array<int, 4> later = DrawAt(water, 50000);
    ExpectPixel(later, FoggedWater(50), 2, "DRUV2WAT at 50 s");
    EXPECT_NE(first, later);
}

}  // namespace
