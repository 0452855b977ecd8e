// Generated shaders drawn on the GL context with registers filled by the engine's own constant managers and
// light setup, checked against the lighting worked out on the CPU (±1 per channel).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "../render/representative_keys.h"
#include "engine/platform/scoped_env.h"
#include "engine/render/light_setup.h"
#include "engine/render/shader_cache.h"
#include "support/gl_test_environment.h"
#include "support/temp_folder.h"
#include "translating_shader_device.h"

namespace {

using namespace engine;
using rendertest::LinkedPair;
using rendertest::TranslatingShaderDevice;
using testsupport::Float4;

constexpr int kSize = 8;
constexpr float kHalfExtent = 0.001f;  // the quad covers P0 +- this, so the lighting is the same at every pixel
const Vec3 kP0{10, 4, 2};
const Vec3 kNormal{0, 0, -1};

int Byte(float value) { return static_cast<int>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f)); }

Matrix44 Placement(const Vec3& position, const Vec3& forward) {
    Matrix44 m;
    m.SetBasisFromDirection(forward);
    m.SetRow(3, position);
    return m;
}

class LightingPixels : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::GlEnvironment().Ready());
        // A quad around P0 facing -z, filling the target.
        const float corners[6][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, -1}, {1, 1}, {-1, 1}};
        std::vector<float> positions, colours, normals, tangents, uvs;
        for (const auto& c : corners) {
            positions.insert(positions.end(), {kP0.x + c[0] * kHalfExtent, kP0.y + c[1] * kHalfExtent, kP0.z, 1});
            colours.insert(colours.end(), {vertexColour[0], vertexColour[1], vertexColour[2], vertexColour[3]});
            // Normal bytes 0-254 map to -1..1.
            normals.insert(normals.end(), {(kNormal.x + 1) * 127, (kNormal.y + 1) * 127, (kNormal.z + 1) * 127, 127});
            tangents.insert(tangents.end(), {254, 127, 127, 254});
            uvs.insert(uvs.end(), {0, 0});
        }
        fixture.SetAttribute("POSITION0", 4, positions);
        fixture.SetAttribute("COLOR0", 4, colours);
        fixture.SetAttribute("NORMAL0", 4, normals);
        fixture.SetAttribute("NORMAL1", 4, tangents);
        fixture.SetAttribute("TEXCOORD0", 2, uvs);
        fixture.SetAttribute("TEXCOORD1", 2, uvs);

        // Proj maps the quad onto the whole target at depth 0.5; the model is already in world space.
        Matrix44 proj;
        proj.m[0][0] = proj.m[1][1] = 1.0f / kHalfExtent;
        proj.m[2][2] = 0.0f;
        proj.m[3][0] = -kP0.x / kHalfExtent;
        proj.m[3][1] = -kP0.y / kHalfExtent;
        proj.m[3][2] = 0.5f;
        vertexConstants.SetMatrix(proj, 0);
        vertexConstants.SetMatrix(IdentityMatrix(), 8);
        vertexConstants.SetVector(Vec4{1, 1, 0, 0}, 30);
    }

    // Draws the plain-colour material's variant and returns the centre pixel.
    std::array<int, 4> Draw(std::uint32_t lightFlags, int model) {
        const auto vertex =
            CompileVertexShader(device, rendertest::VertexText({rendertest::VertexPath::Plain, lightFlags, false}));
        const auto pixel = CompilePixelShader(device, rendertest::PixelText({lightFlags, model, false}));
        EXPECT_NE(vertex, nullptr) << device.lastError;
        EXPECT_NE(pixel, nullptr) << device.lastError;
        const LinkedPair pair(vertex.get(), pixel.get());
        EXPECT_NE(pair.Id(), 0u) << pair.Error();
        fixture.Clear({0, 0, 0, 0});
        EXPECT_TRUE(fixture.Draw(pair.Id(), 6)) << fixture.LastError();
        return fixture.Pixel(kSize / 2, kSize / 2);
    }

    void ExpectColour(const std::array<int, 4>& pixel, const Float4& expected, const std::string& what) {
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(pixel[c], Byte(expected[c]), 1) << what << ", channel " << c;
    }

    void SetMaterial(const Float4& matColour, const Float4& ambient, const Float4& diffuse) {
        pixelConstants.SetPixelVector(Vec4{matColour[0], matColour[1], matColour[2], matColour[3]}, 0);
        pixelConstants.SetPixelVector(Vec4{ambient[0], ambient[1], ambient[2], ambient[3]}, 6);
        pixelConstants.SetPixelVector(Vec4{diffuse[0], diffuse[1], diffuse[2], diffuse[3]}, 7);
    }

    // (Ambient + Diffuse x diffuseLight) x VertCol x MatColour, alpha from MatColour.
    Float4 Lit(const Float4& matColour, const Float4& ambient, const Float4& diffuse,
               const Float4& diffuseLight) const {
        Float4 out;
        for (int c = 0; c < 3; ++c)
            out[c] = matColour[c] * (ambient[c] + diffuse[c] * diffuseLight[c]) * vertexColour[c];
        out[3] = matColour[3];
        return out;
    }

    std::uint32_t SetupLights(const Matrix44& camera) {
        return SetupDrawLights(lights, camera, splits, vertexConstants, pixelConstants);
    }

    testsupport::TempFolder home;
    platformtest::ScopedEnv cacheHome{"XDG_CACHE_HOME", home.Path().c_str()};
    testsupport::ShaderDrawFixture fixture{kSize, kSize};
    TranslatingShaderDevice device{&fixture};
    ShaderBindCounters counters;
    ShaderConstantCache vertexConstants{device, counters};
    ShaderTextBuffer pixelConstants{device, counters};
    DrawLight lights[kLightSlotCount];
    ShadowSplit splits[kShadowSplitCount];
    Float4 vertexColour = {0.5f, 1.0f, 0.75f, 0.8f};
};

TEST_F(LightingPixels, NoLightsLeaveAmbientTimesVertexColour) {
    const Float4 ambient = {0.2f, 0.4f, 0.6f, 1.0f};
    SetMaterial({1, 1, 1, 0.9f}, ambient, {1, 1, 1, 1});
    EXPECT_EQ(SetupLights(Placement({0, 0, -10}, {0, 0, 1})), 0u);
    ExpectColour(Draw(0, 1), {0.1f, 0.4f, 0.45f, 0.9f}, "ambient x vertex colour");
}

TEST_F(LightingPixels, PointLightFadesOverItsRange) {
    const Float4 mat = {0.9f, 0.8f, 1.0f, 1.0f}, ambient = {0.1f, 0.1f, 0.1f, 1}, diffuse = {0.8f, 0.6f, 1.0f, 1};
    SetMaterial(mat, ambient, diffuse);
    DrawLight& point = lights[3];
    point.enabled = true;
    point.matrix = Placement(kP0 - kNormal * -3.0f, {0, 0, 1});  // 3 units in front of the surface
    point.range = 10.0f;
    point.intensity = 2.0f;
    point.colour = 0xFF80FF40u;
    ASSERT_EQ(SetupLights(Placement({0, 0, -10}, {0, 0, 1})), 0x08u);
    const float atten = (1.0f - 3.0f / 10.0f) * (1.0f - 3.0f / 10.0f);  // facing the light: Munge 1
    const Float4 light = {atten * 128 / 255.0f, atten, atten * 64 / 255.0f, 0};
    ExpectColour(Draw(0x08, 1), Lit(mat, ambient, diffuse, light), "point light at 3 of 10");
}

// A viewer behind the surface puts the half vector at or beyond a right angle to the normal: NdotH is 0,
// which the unguarded Cook-Torrance terms turn into 0/0. The guarded terms give no specular and the pixel
// keeps its diffuse light.
TEST_F(LightingPixels, CookTorranceStaysFiniteWhereUnguardedTermsDivideByZero) {
    const Float4 mat = {1, 0.9f, 0.8f, 0.75f}, ambient = {0.2f, 0.2f, 0.2f, 1}, diffuse = {0.7f, 0.7f, 0.7f, 1};
    SetMaterial(mat, ambient, diffuse);
    pixelConstants.SetPixelVector(Vec4{1, 1, 1, 1}, 8);                  // Specular
    pixelConstants.SetPixelVector(Vec4{1, 0.3f, 0.2f, 0}, 10);           // CookTValues
    const Vec3 towardsLight{0, 0.6f, -0.8f};                             // N.L = 0.8
    const Matrix44 camera = Placement(kP0 + Vec3{0, 0, 5}, {0, 0, -1});  // behind: N.V = -1

    struct Case {
        const char* what;
        int slot;
        std::uint32_t flags;
        float diffuseScale;
    };
    const Case cases[] = {
        {"directional", 0, 0x01, 0.8f},              // N.L
        {"spot", 1, 0x02, 0.8f * (1 - 4.0f / 10)},   // SpotDot (N.L inside the cone) x range falloff
        {"point", 3, 0x08, 0.8f * (1 - 4.0f / 10)},  // Munge x range falloff
    };
    for (const Case& c : cases) {
        for (DrawLight& light : lights) light = DrawLight{};
        DrawLight& light = lights[c.slot];
        light.enabled = true;
        light.colour = 0xFFFFFFFFu;
        light.range = 10.0f;
        light.intensity = 1.0f;
        light.coneAngle = 90.0f;
        light.matrix = Placement(kP0 + towardsLight * 4.0f, towardsLight.Negate());
        ASSERT_EQ(SetupLights(camera), c.flags) << c.what;
        const float d = c.diffuseScale;
        ExpectColour(Draw(c.flags, 3), Lit(mat, ambient, diffuse, {d, d, d, 0}), c.what);
    }

    // Seen edge-on (N.V = 0) the point light's Cook-Torrance divides 0 by N.L x N.V = 0 unless guarded.
    const Matrix44 edgeOn = Placement(kP0 + Vec3{5, 0, 0}, {-1, 0, 0});
    ASSERT_EQ(SetupLights(edgeOn), 0x08u);
    const float d = 0.8f * (1 - 4.0f / 10);
    ExpectColour(Draw(0x08, 3), Lit(mat, ambient, diffuse, {d, d, d, 0}), "point light seen edge-on");
}

// Beyond the last split the directional light is unshadowed; inside a split the lookup runs (here against
// an empty shadow map, which shadows everything).
TEST_F(LightingPixels, PixelsBeyondTheLastSplitAreLit) {
    const Float4 mat = {1, 1, 1, 1}, ambient = {0.1f, 0.2f, 0.3f, 1}, diffuse = {0.9f, 0.7f, 0.5f, 1};
    SetMaterial(mat, ambient, diffuse);
    DrawLight& sun = lights[0];
    sun.enabled = true;
    sun.castsShadow = true;
    sun.depthBias = 0.001f;
    const Vec3 down{0, -0.6f, 0.8f};
    sun.matrix = Placement({0, 0, 0}, down);
    for (int i = 0; i < kShadowSplitCount; ++i) {
        splits[i].view = Placement(kP0 - down * 20.0f, down);
        splits[i].orthoFar = 100.0f;
        splits[i].orthoWidth = 40.0f;
        splits[i].endDistance = 10.0f * (i + 1);
    }
    const Matrix44 camera = Placement(kP0 - Vec3{0, 0, 50}, {0, 0, 1});  // the quad lies at view depth 50
    ASSERT_EQ(SetupLights(camera), 0x21u);
    const std::array<int, 4> beyond = Draw(0x21, 1);
    const std::array<int, 4> unshadowed = Draw(0x01, 1);
    ExpectColour(beyond, Lit(mat, ambient, diffuse, {0.8f, 0.8f, 0.8f, 0}), "beyond the splits");
    for (int c = 0; c < 4; ++c) EXPECT_NEAR(beyond[c], unshadowed[c], 1) << "channel " << c;

    splits[3].endDistance = 60.0f;
    ASSERT_EQ(SetupLights(camera), 0x21u);
    ExpectColour(Draw(0x21, 1), Lit(mat, ambient, diffuse, {0, 0, 0, 0}), "inside split 3");
}

}  // namespace
