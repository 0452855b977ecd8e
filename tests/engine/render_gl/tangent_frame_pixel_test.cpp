// The skinned bump vertex shader turns the whole tangent frame by the bones: the binormal is the rotated
// cross product of the model-space normal and tangent.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/platform/scoped_env.h"
#include "engine/render/shader_assembly.h"
#include "engine/render/shader_cache.h"
#include "engine/render/shader_constant_cache.h"
#include "support/gl_test_environment.h"
#include "support/temp_folder.h"
#include "translating_shader_device.h"

namespace {

using namespace engine;

int Encoded(float v) { return static_cast<int>(std::lround((v * 0.5f + 0.5f) * 255.0f)); }

TEST(TangentFramePixels, SkinnedBinormalIsTheBoneTurnedCrossProduct) {
    ASSERT_TRUE(testsupport::GlEnvironment().Ready());
    testsupport::TempFolder home;
    platformtest::ScopedEnv cacheHome("XDG_CACHE_HOME", home.Path().c_str());
    testsupport::ShaderDrawFixture fixture(4, 4);
    rendertest::TranslatingShaderDevice device(&fixture);
    ShaderBindCounters counters;
    ShaderConstantCache vertex(device, counters);

    std::string text;
    BuildGenericVertexShader(text, true, false, false, 0, true);
    const auto vs = CompileVertexShader(device, text);
    ASSERT_NE(vs, nullptr) << device.lastError;
    const auto ps = CompilePixelShader(device, R"(
struct PS_IN { float3 BiNormWorld : TEXCOORD8; float3 TanNormWorld : TEXCOORD9; };
float4 main(PS_IN In) : COLOR { return float4(In.BiNormWorld * 0.5 + 0.5, 1); }
)");
    ASSERT_NE(ps, nullptr) << device.lastError;
    const rendertest::LinkedPair pair(vs.get(), ps.get());
    ASSERT_NE(pair.Id(), 0u) << pair.Error();

    // One bone turned a quarter about X; the quad is already in clip space.
    Matrix44 bone;
    bone.InitRotationX(90.0f);
    Matrix44 proj;
    proj.m[2][2] = 0.0f;
    proj.m[3][2] = 0.5f;
    vertex.SetMatrix(proj, 0);
    vertex.SetMatrix(IdentityMatrix(), 8);
    vertex.SetVector(Vec4{1, 1, 0, 0}, 30);
    vertex.SetBoneMatrix(33, bone);

    const Vec3 normal{0, 0, 1}, tangent{1, 0, 0};
    const float corners[6][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, -1}, {1, 1}, {-1, 1}};
    std::vector<float> positions, normals, tangents, weights, uvs, colours;
    std::vector<std::int32_t> indices;
    for (const auto& c : corners) {
        // The bone takes the clip-space corner along; undo its turn so that the quad still fills the target.
        Matrix44 inverse;
        Matrix44::InverseAffine(bone, inverse);
        const Vec3 p = inverse.TransformPoint({c[0], c[1], 0});
        positions.insert(positions.end(), {p.x, p.y, p.z, 1});
        normals.insert(normals.end(), {(normal.x + 1) * 127, (normal.y + 1) * 127, (normal.z + 1) * 127, 127});
        tangents.insert(tangents.end(), {(tangent.x + 1) * 127, (tangent.y + 1) * 127, (tangent.z + 1) * 127, 254});
        weights.insert(weights.end(), {255, 0, 0, 0});
        indices.insert(indices.end(), {0, 0, 0, 0});
        uvs.insert(uvs.end(), {0, 0});
        colours.insert(colours.end(), {1, 1, 1, 1});
    }
    fixture.SetAttribute("POSITION0", 4, positions);
    fixture.SetAttribute("NORMAL0", 4, normals);
    fixture.SetAttribute("NORMAL1", 4, tangents);
    fixture.SetAttribute("BLENDWEIGHT0", 4, weights);
    fixture.SetIntegerAttribute("BLENDINDICES0", 4, indices);
    fixture.SetAttribute("TEXCOORD0", 2, uvs);
    fixture.SetAttribute("TEXCOORD1", 2, uvs);
    fixture.SetAttribute("COLOR0", 4, colours);
    fixture.Clear({0, 0, 0, 0});
    ASSERT_TRUE(fixture.Draw(pair.Id(), 6)) << fixture.LastError();

    const Vec3 expected = bone.TransformVector(normal.Cross(tangent));  // times the handedness TanN.w = 1
    const std::array<int, 4> pixel = fixture.Pixel(2, 2);
    EXPECT_NEAR(pixel[0], Encoded(expected.x), 1);
    EXPECT_NEAR(pixel[1], Encoded(expected.y), 1);
    EXPECT_NEAR(pixel[2], Encoded(expected.z), 1);
}

}  // namespace
