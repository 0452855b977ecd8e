// The material manager over recording fakes: set lookup by code, the lighting constants, bump map and UV
// transform of BindMaterial, variant keys, failed builds and the repeat bind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/render/light_flags.h"
#include "engine/render/material_file.h"
#include "fake_material_textures.h"
#include "material_manager_fixture.h"
#include "mtl_fixture.h"

namespace {

using namespace engine;
using mtltest::FakeStageTextures;
using mtltest::FixedView;
using mtltest::MaterialManagerTest;

using Reg = std::array<float, 4>;

void ExpectRegister(const Reg& actual, const Reg& expected, const char* what) {
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(actual[c], expected[c], 1e-5f) << what << " component " << c;
}

std::array<std::uint8_t, 8> Code(const char* text, std::size_t length) {
    std::array<std::uint8_t, 8> code{};
    std::memcpy(code.data(), text, length);
    return code;
}

TEST_F(MaterialManagerTest, SetsAreFoundByTheirEightByteCodes) {
    struct Case {
        std::array<std::uint8_t, 8> code;
        int index;
    };
    const Case cases[] = {
        {Code("FUR\0\0\0\0\0", 8), 8},  {Code("BLOX", 4), 7},     {Code("NOPE", 4), 0},
        {Code("JUSTCOL", 7), 0},        {Code("TEXTURE", 7), 1},  {Code("DRUV2WAT", 8), 6},
        {Code("BLOX\0\0\0X", 8), 0},    {Code("FUR ", 4), 0},     {Code("", 0), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(manager->FindByCode(c.code.data()), c.index) << c.index;

    // Each set sits at its own index whatever the creation order.
    for (int i = 0; i < kShaderSetCount; ++i) {
        ASSERT_NE(manager->Set(i), nullptr);
        EXPECT_EQ(manager->Set(i)->Index(), i);
        EXPECT_EQ(manager->FindByCode(manager->Set(i)->Code()), i);
    }
    EXPECT_EQ(manager->Set(9), nullptr);
    EXPECT_EQ(manager->Set(-1), nullptr);
    EXPECT_STREQ(manager->Set(kSetWater2)->Info().description.GetNarrow(), "Custom water for Bolverk");
    EXPECT_FLOAT_EQ(manager->Set(kSetWater)->Info().colours[1].params[3].max, 16.0f);
    EXPECT_EQ(manager->Set(kSetTerrain2)->Info().textures[3].kind, kSlotTexture);
    EXPECT_EQ(manager->Set(kSetTerrain2)->Info().textures[2].kind, kSlotNone);

    for (int i = 0; i < kShaderSetCount; ++i) {
        EXPECT_EQ(manager->SupportsInstancing(Material(i, 1)), i != kSetBlock && i != kSetFur) << i;
    }
}

TEST_F(MaterialManagerTest, AMaterialFileWithAnUnknownCodeDrawsWithThePlainColourSet) {
    mtltest::FakeMaterialTextures loads;
    MaterialLib lib;
    ASSERT_TRUE(lib.Init(16, &loads));
    mtltest::MtlRecipe file;
    file.code = "NOPE";
    file.flags = 0;
    const std::vector<std::uint8_t> bytes = mtltest::WriteMtl(file, false);
    MaterialDef* material = lib.Get(ParseMaterialFile(lib, "Odd", bytes.data(), bytes.size()));
    ASSERT_NE(material, nullptr);
    manager->SetLightFlags(kLightDirectional);
    ASSERT_EQ(manager->BindMaterial(*material, nullptr, nullptr, false, false), 1);
    EXPECT_NE(manager->Set(kSetPlainColour)->CachedPixelShader(kLightDirectional, 1, false), nullptr);
    ExpectRegister(device.PixelRegister(0), {0.5f, 0.25f, 1.0f, 0.75f}, "MatColour = colour slot 0");
}

TEST_F(MaterialManagerTest, LightingConstantsFollowTheModel) {
    manager->SetLightFlags(kLightDirectional);
    for (int model = 0; model <= 4; ++model) {
        SCOPED_TRACE(model);
        device.pixelUploads.clear();
        MaterialDef material = Material(kSetPlainColour, model);
        material.ambientColour = 0xFF336699u;
        material.diffuseColour = 0x80FF0000u;
        material.specularColour = 0xFF00FF00u;
        material.specularPower = 3.0f;
        material.specularStrength = 0.25f;
        material.cookScale = 0.7f;
        material.cookRoughness = 0.2f;
        material.cookFresnel = 0.6f;
        ASSERT_EQ(manager->BindMaterial(material, nullptr, nullptr, false, false), 1);
        EXPECT_EQ(device.PixelRegisterWritten(6), model != 0);
        EXPECT_EQ(device.PixelRegisterWritten(7), model != 0);
        EXPECT_EQ(device.PixelRegisterWritten(8), model == 2 || model == 3);
        EXPECT_EQ(device.PixelRegisterWritten(9), model == 2 || model == 4);
        EXPECT_EQ(device.PixelRegisterWritten(10), model == 3);
        if (model != 0) {
            ExpectRegister(device.PixelRegister(6), {0x33 / 255.0f, 0x66 / 255.0f, 0x99 / 255.0f, 1}, "Ambient");
            ExpectRegister(device.PixelRegister(7), {1, 0, 0, 0x80 / 255.0f}, "Diffuse");
        }
        if (model == 2 || model == 4) ExpectRegister(device.PixelRegister(9), {9, 0.25f, 0, 0}, "SpecularValues");
        if (model == 2 || model == 3) ExpectRegister(device.PixelRegister(8), {0, 1, 0, 1}, "Specular");
        if (model == 3) ExpectRegister(device.PixelRegister(10), {0.7f, 0.2f, 0.6f, 0}, "CookTValues");
        // Unlit variants carry no lights.
        const std::uint32_t key = model == 0 ? 0 : kLightDirectional;
        EXPECT_NE(manager->Set(kSetPlainColour)->CachedPixelShader(key, model, false), nullptr);
    }
    EXPECT_EQ(manager->Set(kSetPlainColour)->CachedPixelShader(kLightDirectional, 0, false), nullptr);
}

TEST_F(MaterialManagerTest, AmbientIsScaledAndOffsetByTheViewAndClamped) {
    MaterialDef material = Material(kSetPlainColour, 1);
    material.ambientColour = 0x80804020u;  // a 0.502, r 0.502, g 0.251, b 0.125
    const float a = 0x80 / 255.0f, r = 0x80 / 255.0f, g = 0x40 / 255.0f, b = 0x20 / 255.0f;
    struct Case {
        ColourF scale, offset;
        Reg expected;
    };
    const Case cases[] = {
        {{1, 1, 1, 1}, {0, 0, 0, 0}, {r, g, b, a}},
        {{2, 0.5f, 4, 9}, {0, 0, 0, 0}, {1, g * 0.5f, b * 4, a}},  // alpha is not scaled
        {{1, 1, 1, 1}, {0.1f, -0.5f, 0.2f, 0.7f}, {r + 0.1f, 0, b + 0.2f, 1}},
        {{-1, 1, 1, 1}, {0, 0, 0, -0.25f}, {0, g, b, a - 0.25f}},
    };
    for (const Case& c : cases) {
        const FixedView view(c.scale, c.offset);
        ASSERT_EQ(manager->BindMaterial(material, &view, nullptr, false, false), 1);
        ExpectRegister(device.PixelRegister(6), c.expected, "Ambient");
    }
}

TEST_F(MaterialManagerTest, BumpMapGoesToStageSixAndUVTransformToC30) {
    MaterialDef material = Material(kSetTexture, 1);
    material.textures[0] = 40;
    material.uvTransform[0] = 2;
    material.uvTransform[1] = 3;
    material.uvTransform[2] = 0.5f;
    material.uvTransform[3] = -0.25f;
    ASSERT_EQ(manager->BindMaterial(material, nullptr, nullptr, false, false), 1);
    ExpectRegister(device.VertexRegister(30), {2, 3, 0.5f, -0.25f}, "UVOffset");
    EXPECT_EQ(textures.log, (std::vector<std::string>{"bind 0 40"}));
    EXPECT_NE(manager->Set(kSetTexture)->CachedPixelShader(0, 1, false), nullptr);

    // Flag 0x200 without an extra texture: the checkerboard, linear mips, wrapped; the bump variants.
    material.flags = kMaterialBumpMap;
    material.addressModes[0] = 3;
    textures.log.clear();
    ASSERT_EQ(manager->BindMaterial(material, nullptr, nullptr, false, false), 1);
    EXPECT_EQ(textures.log, (std::vector<std::string>{"bind 6 501", "bind 0 40"}));
    EXPECT_EQ(states.Filter(6), 2);
    EXPECT_EQ(states.Address(6), 1);
    EXPECT_EQ(states.Address(0), 3);
    EXPECT_NE(manager->Set(kSetTexture)->CachedPixelShader(0, 1, true), nullptr);
    EXPECT_NE(manager->Set(kSetTexture)->CachedVertexShader(false, false, 0, true), nullptr);

    material.extraTexture = 77;
    textures.log.clear();
    ASSERT_EQ(manager->BindMaterial(material, nullptr, nullptr, false, false), 1);
    EXPECT_EQ(textures.log.front(), "bind 6 77");
}

TEST_F(MaterialManagerTest, VariantKeysShareVertexShadersAcrossModelsAndUnlitIgnoresLights) {
    manager->SetLightFlags(kLightDirectional | kLightPoint1);
    const std::uint32_t lights = kLightDirectional | kLightPoint1;
    MaterialDef diffuse = Material(kSetPlainColour, 1);
    MaterialDef blinn = Material(kSetPlainColour, 2);
    ShaderSet& set = *manager->Set(kSetPlainColour);
    ASSERT_EQ(manager->BindMaterial(diffuse, nullptr, nullptr, false, false), 1);
    VertexShader* vertex = vertexShaders.Current();
    PixelShader* first = pixelShaders.Current();
    ASSERT_EQ(manager->BindMaterial(blinn, nullptr, nullptr, false, false), 1);
    EXPECT_EQ(vertexShaders.Current(), vertex);
    EXPECT_NE(pixelShaders.Current(), first);
    EXPECT_EQ(set.CachedVertexShader(false, false, lights, false), vertex);
    EXPECT_EQ(set.CachedPixelShader(lights, 1, false), first);
    EXPECT_EQ(set.CachedPixelShader(lights, 2, false), pixelShaders.Current());

    // Unlit under any lights: the LightFlags-0 entries.
    MaterialDef unlit = Material(kSetPlainColour, 0);
    for (std::uint32_t flags : {0x00u, 0x01u, 0xFFu}) {
        manager->SetLightFlags(flags);
        ASSERT_EQ(manager->BindMaterial(unlit, nullptr, nullptr, false, false), 1);
        EXPECT_EQ(vertexShaders.Current(), set.CachedVertexShader(false, false, 0, false));
        EXPECT_EQ(pixelShaders.Current(), set.CachedPixelShader(0, 0, false));
    }
    EXPECT_EQ(set.CachedPixelShader(0xFF, 0, false), nullptr);

    // Skinned and instanced draws use their own tables.
    manager->SetLightFlags(0);
    ASSERT_EQ(manager->BindMaterial(unlit, nullptr, nullptr, true, true), 1);
    EXPECT_NE(set.CachedVertexShader(true, false, 0, false), nullptr);
    EXPECT_EQ(set.CachedVertexShader(false, true, 0, false), nullptr);
    ASSERT_EQ(manager->BindMaterial(unlit, nullptr, nullptr, false, true), 1);
    EXPECT_NE(set.CachedVertexShader(false, true, 0, false), nullptr);
}

TEST_F(MaterialManagerTest, AModelOutsideTheRangeBindsAsUnlit) {
    mtltest::FakeMaterialTextures loads;
    MaterialLib lib;
    ASSERT_TRUE(lib.Init(16, &loads));
    mtltest::MtlRecipe file;
    file.code = "TEXTURE";
    file.flags = 0;
    file.lightingByte = 7;
    const std::vector<std::uint8_t> bytes = mtltest::WriteMtl(file, false);
    MaterialDef* loaded = lib.Get(ParseMaterialFile(lib, "Seven", bytes.data(), bytes.size()));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->lightingModel, 0);

    manager->SetLightFlags(0x3FF);
    for (int model : {7, -1, 5, 1000000}) {
        MaterialDef material = Material(kSetTexture, model);
        device.pixelUploads.clear();
        ASSERT_EQ(manager->BindMaterial(material, nullptr, nullptr, false, false), 1) << model;
        EXPECT_FALSE(device.PixelRegisterWritten(6));
        EXPECT_EQ(pixelShaders.Current(), manager->Set(kSetTexture)->CachedPixelShader(0, 0, false));
    }
    // A set index outside 0-8 draws with the plain colour set.
    MaterialDef stray = Material(42, 0);
    ASSERT_EQ(manager->BindMaterial(stray, nullptr, nullptr, false, false), 1);
    EXPECT_EQ(pixelShaders.Current(), manager->Set(kSetPlainColour)->CachedPixelShader(0, 0, false));
}

TEST_F(MaterialManagerTest, AFailedBuildBindsNothingAfterItAndIsTriedAgain) {
    MaterialDef material = Material(kSetPlainColour, 0);
    material.SetColour(0, 0xFF00FF00u);
    device.refusePixel = true;
    EXPECT_EQ(manager->BindMaterial(material, nullptr, nullptr, false, false), 0);
    ShaderSet& set = *manager->Set(kSetPlainColour);
    EXPECT_NE(set.CachedVertexShader(false, false, 0, false), nullptr);
    EXPECT_EQ(set.CachedPixelShader(0, 0, false), nullptr);
    EXPECT_EQ(pixelShaders.Current(), nullptr);
    EXPECT_FALSE(device.PixelRegisterWritten(0));  // the constants come after the shaders

    const std::size_t creates = device.pixelCreates.size();
    device.refusePixel = false;
    EXPECT_EQ(manager->BindMaterial(material, nullptr, nullptr, false, false), 1);
    EXPECT_GT(device.pixelCreates.size(), creates);
    EXPECT_NE(set.CachedPixelShader(0, 0, false), nullptr);
    ExpectRegister(device.PixelRegister(0), {0, 1, 0, 1}, "MatColour");

    // A vertex shader that does not build stops before the pixel shader.
    device.refuseVertex = true;
    manager->SetLightFlags(kLightDirectional);
    MaterialDef lit = Material(kSetPlainColour, 1);
    EXPECT_EQ(manager->BindMaterial(lit, nullptr, nullptr, false, false), 0);
    EXPECT_EQ(set.CachedVertexShader(false, false, kLightDirectional, false), nullptr);
    EXPECT_EQ(set.CachedPixelShader(kLightDirectional, 1, false), nullptr);
}

TEST_F(MaterialManagerTest, ARepeatedBindSendsOnlyThePixelConstants) {
    manager->SetLightFlags(kLightDirectional);
    MaterialDef material = Material(kSetTexture, 2);
    material.textures[0] = 40;
    ASSERT_EQ(manager->BindMaterial(material, nullptr, nullptr, false, false), 1);
    const auto vertexBinds = device.vertexBinds.size();
    const auto pixelBinds = device.pixelBinds.size();
    const auto vertexUploads = device.vertexUploads.size();
    const auto creates = device.vertexCreates.size() + device.pixelCreates.size();
    device.pixelUploads.clear();
    ASSERT_EQ(manager->BindMaterial(material, nullptr, nullptr, false, false), 1);
    EXPECT_EQ(device.vertexBinds.size(), vertexBinds);
    EXPECT_EQ(device.pixelBinds.size(), pixelBinds);
    EXPECT_EQ(device.vertexUploads.size(), vertexUploads);
    EXPECT_EQ(device.vertexCreates.size() + device.pixelCreates.size(), creates);
    std::vector<int> registers;
    for (const auto& upload : device.pixelUploads) registers.push_back(upload.startRegister);
    EXPECT_EQ(registers, (std::vector<int>{6, 7, 9, 8, 0}));
}

}  // namespace
