// The material manager against the device's state cache and the layer's call counters: a repeated bind, a
// variant whose shader the layer refuses, and the shadow pass of the TEXTURE set.
#include "engine/render/light_flags.h"
#include "material_draw_fixture.h"
#include "sys/gpu_device.h"

namespace {

using namespace engine;
using mtltest::MaterialDrawTest;
using mtltest::MeshVertex;
using sys::GpuCall;

TEST_F(MaterialDrawTest, ASecondIdenticalBindSendsOnlyThePixelConstants) {
    manager->SetLightFlags(kLightDirectional);
    MaterialDef material;
    material.shaderSetIndex = kSetTexture;
    material.lightingModel = 2;
    material.flags = kMaterialBumpMap;
    material.textures[0] = Solid(0xFF808080u);
    ASSERT_EQ(manager->BindMaterial(material, nullptr, &identity, false, false), 1);
    Gpu().ResetCallCounts();
    ASSERT_EQ(manager->BindMaterial(material, nullptr, &identity, false, false), 1);
    for (GpuCall call : {GpuCall::SetTexture, GpuCall::SetSamplerState, GpuCall::SetRenderState,
                         GpuCall::SetVertexShader, GpuCall::SetPixelShader, GpuCall::SetVertexShaderConstantF}) {
        EXPECT_EQ(Gpu().CallCount(call), 0u) << static_cast<int>(call);
    }
    // Ambient, Diffuse, SpecularValues, Specular and the colour.
    EXPECT_EQ(Gpu().CallCount(GpuCall::SetPixelShaderConstantF), 5u);
}

TEST_F(MaterialDrawTest, AVariantTheLayerRefusesIsBuiltAgainOnTheNextBind) {
    MaterialDef material;
    material.shaderSetIndex = kSetColourDecal;
    material.textures[0] = Solid(0xFF00FF00u);
    sys::GpuHooks().failCreations[static_cast<int>(sys::GpuCreateKind::PixelShader)] = 1000;
    EXPECT_EQ(manager->BindMaterial(material, nullptr, &identity, false, false), 0);
    EXPECT_EQ(manager->Set(kSetColourDecal)->CachedPixelShader(0, 0, false), nullptr);
    sys::GpuHooks().failCreations[static_cast<int>(sys::GpuCreateKind::PixelShader)] = 0;
    ASSERT_TRUE(Draw(material, MeshVertex{}));
    EXPECT_NE(manager->Set(kSetColourDecal)->CachedPixelShader(0, 0, false), nullptr);
    EXPECT_EQ(Centre(), (std::array<int, 4>{0, 255, 0, 255}));
}

TEST_F(MaterialDrawTest, TextureShadowsWriteDepthWhereTheTextureIsHalfOpaqueOrMore) {
    ShaderSet& set = *manager->Set(kSetTexture);
    MaterialDef material;
    material.shaderSetIndex = kSetTexture;
    material.flags = kMaterialPointFilter;
    material.textures[0] = Solid(0xFF102030u);
    device_->SetCullMode(sys::kCullNone);

    // Opaque: the built-in depth shaders write the projected depth everywhere.
    ASSERT_EQ(set.BindShadow(material, nullptr, &identity, false, false), 1);
    EXPECT_EQ(vertexShaders_->Current(), vertexShaders_->BuiltinVertexShader(9));
    DrawBound(MeshVertex{}, true);
    EXPECT_EQ(Pixel(2, kHeight / 2), (std::array<int, 4>{128, 128, 128, 128}));
    EXPECT_EQ(Pixel(kWidth - 3, kHeight / 2), (std::array<int, 4>{128, 128, 128, 128}));

    // Four columns of alpha 0.25, 0.5, 0.75 and 0: depth only where the alpha is 0.5 or more.
    const std::uint32_t alphas[4] = {0x40, 0x80, 0xC0, 0x00};
    material.textures[0] = MakeTexture(4, 1, [&alphas](int x, int) { return alphas[x] << 24 | 0xFFFFFFu; });
    ASSERT_EQ(set.BindShadow(material, nullptr, &identity, false, false), 1);
    ASSERT_NE(set.CachedShadowPixelShader(), nullptr);
    EXPECT_EQ(pixelShaders_->Current(), set.CachedShadowPixelShader());
    DrawBound(MeshVertex{}, true);
    for (int column = 0; column < 4; ++column) {
        const int x = column * kWidth / 4 + kWidth / 8;
        const int expected = alphas[column] >= 0x80 ? 128 : 0;
        EXPECT_EQ(Pixel(x, kHeight / 2), (std::array<int, 4>{expected, expected, expected, expected})) << column;
    }

    // A colour with alpha 0.5 on an opaque texture uses the clipped shaders too: 1 x 0.5 is not below 0.5.
    material.textures[0] = Solid(0xFFFFFFFFu);
    material.colours[0].a = 0.5f;
    ASSERT_EQ(set.BindShadow(material, nullptr, &identity, false, false), 1);
    EXPECT_EQ(pixelShaders_->Current(), set.CachedShadowPixelShader());
    DrawBound(MeshVertex{}, true);
    EXPECT_EQ(Pixel(kWidth / 2, kHeight / 2), (std::array<int, 4>{128, 128, 128, 128}));
}

}  // namespace
