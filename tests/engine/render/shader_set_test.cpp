// The shader sets' own bindings over recording fakes: stage textures with their placeholders, filters and
// addressing, the block set's stage 0, the timed constants, the fur matrix and the shadow pass.
#include <gtest/gtest.h>

#include <chrono>

#include "engine/core/frame_timer.h"
#include "engine/render/light_flags.h"
#include "engine/render/material_shader_sets.h"
#include "material_manager_fixture.h"

namespace {

using namespace engine;
using mtltest::FakeStageTextures;
using mtltest::MaterialManagerTest;

using Reg = std::array<float, 4>;

void ExpectRegister(const Reg& actual, const Reg& expected, const char* what) {
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(actual[c], expected[c], 1e-5f) << what << " component " << c;
}

// A set whose stage-2 slot falls back to the checker cube map.
class CubeSlotSet : public ShaderSet {
public:
    explicit CubeSlotSet(const ShaderSetServices& services) : ShaderSet(services, kSetTexture) {
        MutableInfo().textures[2].kind = kSlotCubeMap;
    }
    int BindConstants(const MaterialDef&, const MaterialView*, const Matrix44*, bool, bool) override { return 1; }
    std::unique_ptr<VertexShader> BuildVertexShader(bool, bool, std::uint32_t, bool) override { return nullptr; }
    std::unique_ptr<PixelShader> BuildPixelShader(std::uint32_t, int, bool) override { return nullptr; }
};

class ShaderSetTest : public MaterialManagerTest {
protected:
    ShaderSetServices Services() {
        ShaderSetServices services;
        services.states = &states;
        services.textures = &textures;
        services.vertexShaders = &vertexShaders;
        services.pixelShaders = &pixelShaders;
        services.timer = &timer;
        return services;
    }

    std::chrono::nanoseconds now{0};
    FrameTimer timer{[this] { return now; }};
};

TEST_F(ShaderSetTest, BindTextureChoosesFilterAddressingAndPlaceholders) {
    CubeSlotSet set(Services());
    textures.flags = {{10, 0x10}, {11, 0x08}, {12, 0x04}, {13, 0}};
    struct Case {
        const char* what;
        int stage;
        int texture;
        std::uint32_t materialFlags;
        int addressMode;
        const char* bound;
        int filter;
        int address;
    };
    const Case cases[] = {
        {"flagged 0x10", 0, 10, 0, 3, "bind 0 10", 1, 1},
        {"flagged 0x08 ignores the point flag", 1, 11, kMaterialPointFilter, 4, "bind 1 11", 1, 1},
        {"plain texture", 0, 13, 0, 3, "bind 0 13", 2, 3},
        {"cube texture", 2, 12, 0, 2, "bind 2 12", 2, 2},
        {"point flag", 0, 13, kMaterialPointFilter, 2, "bind 0 13", 0, 2},
        {"address mode 0 wraps", 3, 13, 0, 0, "bind 3 13", 2, 1},
        {"missing: checkerboard", 0, 0, 0, 3, "bind 0 501", 2, 3},
        {"missing on a cube slot: checker cube", 2, 0, 0, 3, "bind 2 502", 2, 3},
        {"missing on an empty slot: checkerboard", 5, 0, kMaterialPointFilter, 0, "bind 5 501", 0, 1},
    };
    for (const Case& c : cases) {
        MaterialDef material;
        material.flags = c.materialFlags;
        material.textures[c.stage] = c.texture;
        material.addressModes[c.stage] = c.addressMode;
        textures.log.clear();
        states.filter.clear();
        states.address.clear();
        set.BindTexture(c.stage, material);
        EXPECT_EQ(textures.log, (std::vector<std::string>{c.bound})) << c.what;
        EXPECT_EQ(states.Filter(c.stage), c.filter) << c.what;
        EXPECT_EQ(states.Address(c.stage), c.address) << c.what;
    }

    // Without even a placeholder the stage is emptied rather than left with the last draw's texture.
    textures.placeholders = false;
    textures.log.clear();
    set.BindTexture(0, MaterialDef{});
    EXPECT_EQ(textures.log, (std::vector<std::string>{"unbind 0"}));
}

TEST_F(ShaderSetTest, EachSetBindsItsStagesAndColour) {
    struct Case {
        int set;
        std::vector<std::string> binds;
    };
    const Case cases[] = {
        {kSetPlainColour, {}},
        {kSetTexture, {"bind 0 1"}},
        {kSetColourDecal, {"bind 0 1"}},
        {kSetTerrain, {"bind 0 1", "bind 1 2", "bind 3 4"}},
        {kSetTerrain2, {"bind 0 1", "bind 1 2", "bind 2 3", "bind 3 4", "bind 4 5"}},
        {kSetWater, {"bind 0 1", "bind 3 4"}},
        {kSetWater2, {"bind 0 1", "bind 2 3", "bind 3 4", "bind 4 5"}},
        {kSetBlock, {"bind 0 1"}},
        {kSetFur, {}},
    };
    for (const Case& c : cases) {
        MaterialDef material = Material(c.set, 0);
        for (int stage = 0; stage < kMaterialStages; ++stage) material.textures[stage] = stage + 1;
        material.SetColour(0, 0x80402010u);
        textures.log.clear();
        device.pixelUploads.clear();
        ASSERT_EQ(manager->BindMaterial(material, nullptr, nullptr, false, false), 1) << c.set;
        EXPECT_EQ(textures.log, c.binds) << c.set;
        EXPECT_EQ(device.PixelRegisterWritten(0), c.set != kSetFur) << c.set;
        if (c.set != kSetFur) {
            ExpectRegister(device.PixelRegister(0), {0x40 / 255.0f, 0x20 / 255.0f, 0x10 / 255.0f, 0x80 / 255.0f},
                           "colour slot 0");
        }
    }
}

TEST_F(ShaderSetTest, BlockStageZeroTakesNoPlaceholder) {
    BlockShaderSet set(Services());
    MaterialDef material = Material(kSetBlock, 0);
    set.BindConstants(material, nullptr, nullptr, false, false);
    EXPECT_EQ(textures.log, (std::vector<std::string>{"unbind 0"}));
    EXPECT_EQ(states.Filter(0), 3);
    EXPECT_EQ(states.Address(0), 1);

    material.textures[0] = 9;
    material.addressModes[0] = 3;
    material.flags = kMaterialPointFilter;
    textures.flags[9] = 0x10;
    textures.log.clear();
    states.filter.clear();
    set.BindConstants(material, nullptr, nullptr, false, false);
    EXPECT_EQ(textures.log, (std::vector<std::string>{"bind 0 9"}));
    EXPECT_EQ(states.Filter(0), 3);
    EXPECT_EQ(states.Address(0), 1);
}

TEST_F(ShaderSetTest, TimedConstantsComeFromTheFrameTimer) {
    now = std::chrono::milliseconds(2500);
    MaterialDef material;
    material.colours[1] = {0.9f, 0.1f, 0.2f, 4.0f};  // unused, wave speed x, wave speed y, UV multiplier

    WaterShaderSet water(Services());
    water.BindConstants(material, nullptr, nullptr, false, false);
    ExpectRegister(device.PixelRegister(1), {2.5f, 0.1f, 0.2f, 4.0f}, "water Params1");

    Water2ShaderSet water2(Services());
    water2.BindConstants(material, nullptr, nullptr, false, false);
    ExpectRegister(device.PixelRegister(1), {2.5f, 0.1f, 0.2f, 4.0f}, "water 2 Params1");
    ExpectRegister(device.PixelRegister(2), {0.025f, 0.1f, 0.2f, 4.0f}, "water 2 Params2");

    Terrain2ShaderSet terrain2(Services());
    terrain2.BindConstants(material, nullptr, nullptr, false, false);
    EXPECT_NEAR(device.PixelRegister(1)[0], 0.025f, 1e-6f);

    // The fur set takes the draw's world-to-model matrix.
    FurShaderSet fur(Services());
    Matrix44 worldToModel;
    worldToModel.m[3][0] = 5.0f;
    worldToModel.m[0][1] = 2.0f;
    fur.BindConstants(material, nullptr, &worldToModel, false, false);
    ExpectRegister(device.VertexRegister(12), {1, 0, 0, 5}, "WorldToModel row 0 of the transpose");
    ExpectRegister(device.VertexRegister(13), {2, 1, 0, 0}, "WorldToModel row 1 of the transpose");
}

TEST_F(ShaderSetTest, OnlyTexturesOrColoursWithAlphaNeedTheAlphaShadow) {
    TextureShaderSet set(Services());
    textures.alpha = {{1, kAlphaOpaque}, {2, kAlphaKeyed}, {3, kAlphaBlended}};
    for (float alpha : {1.0f, 0.5f}) {
        for (int texture : {1, 2, 3, 0}) {
            MaterialDef material;
            material.colours[0].a = alpha;
            material.textures[0] = texture;
            const bool expected = alpha < 0.999f || texture == 2 || texture == 3;
            EXPECT_EQ(set.NeedsAlphaShadow(material), expected) << alpha << " texture " << texture;
        }
    }
    MaterialDef almost;
    almost.colours[0].a = 0.9995f;
    EXPECT_FALSE(set.NeedsAlphaShadow(almost));
    // Other sets never do.
    PlainColourShaderSet plain(Services());
    MaterialDef faded;
    faded.colours[0].a = 0.2f;
    EXPECT_FALSE(plain.NeedsAlphaShadow(faded));
}

TEST_F(ShaderSetTest, ShadowPassUsesBuiltinDepthShadersUnlessAlphaIsNeeded) {
    ShaderSet& set = *manager->Set(kSetTexture);
    MaterialDef material = Material(kSetTexture, 1);
    material.textures[0] = 7;
    for (bool skinned : {false, true}) {
        for (bool instanced : {false, true}) {
            ASSERT_EQ(set.BindShadow(material, nullptr, nullptr, skinned, instanced), 1);
            const int kind = skinned ? 11 : (instanced ? 10 : 9);
            EXPECT_EQ(vertexShaders.Current(), vertexShaders.BuiltinVertexShader(kind));
            EXPECT_EQ(set.CachedShadowVertexShader(skinned, instanced), nullptr);
        }
    }
    PixelShader* depthOnly = pixelShaders.Current();
    ASSERT_NE(depthOnly, nullptr);
    EXPECT_EQ(set.CachedShadowPixelShader(), nullptr);
    EXPECT_TRUE(states.depthTest);
    EXPECT_TRUE(states.depthWrite);
    EXPECT_EQ(states.blendMode, 0);
    EXPECT_EQ(states.alphaTestMode, 0);
    EXPECT_EQ(states.alphaTestReference, 254u);
    EXPECT_EQ(states.colourMask, 15u);
    // The set's shadow pass binds its colour and stage 0 either way.
    EXPECT_EQ(textures.log.back(), "bind 0 7");
    textures.log.clear();

    textures.alpha[7] = kAlphaKeyed;
    for (bool skinned : {false, true}) {
        for (bool instanced : {false, true}) {
            ASSERT_EQ(set.BindShadow(material, nullptr, nullptr, skinned, instanced), 1);
            ASSERT_NE(set.CachedShadowVertexShader(skinned, instanced), nullptr);
            EXPECT_EQ(vertexShaders.Current(), set.CachedShadowVertexShader(skinned, instanced));
        }
    }
    ASSERT_NE(set.CachedShadowPixelShader(), nullptr);
    EXPECT_EQ(pixelShaders.Current(), set.CachedShadowPixelShader());
    EXPECT_EQ(textures.log.back(), "bind 0 7");

    // Another material without alpha goes back to the shared depth-only shader.
    textures.alpha[7] = kAlphaOpaque;
    ASSERT_EQ(set.BindShadow(material, nullptr, nullptr, false, false), 1);
    EXPECT_EQ(pixelShaders.Current(), depthOnly);
}

}  // namespace
