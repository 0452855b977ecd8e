// Built-in vertex shader 3 puts a triangle through a non-symmetric ModelToWorld where the CPU maths puts it.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/platform/scoped_env.h"
#include "engine/render/shader_cache.h"
#include "engine/render/shader_constant_cache.h"
#include "support/gl_test_environment.h"
#include "support/temp_folder.h"
#include "translating_shader_device.h"

namespace {

using namespace engine;

constexpr int kSize = 32;

// Signed area test of pixel centre (px, py) against the screen triangle; `margin` pixels of doubt.
int Side(const float a[2], const float b[2], float px, float py) {
    const float cross = (b[0] - a[0]) * (py - a[1]) - (b[1] - a[1]) * (px - a[0]);
    const float length = std::hypot(b[0] - a[0], b[1] - a[1]);
    const float distance = cross / length;
    if (std::fabs(distance) < 0.05f) return 0;
    return distance > 0 ? 1 : -1;
}

TEST(BuiltinShaderPixels, ShaderThreePlacesATriangleWhereTheCpuDoes) {
    ASSERT_TRUE(testsupport::GlEnvironment().Ready());
    testsupport::TempFolder home;
    platformtest::ScopedEnv cacheHome("XDG_CACHE_HOME", home.Path().c_str());
    testsupport::ShaderDrawFixture fixture(kSize, kSize);
    rendertest::TranslatingShaderDevice device(&fixture);
    ShaderBindCounters counters;
    ShaderConstantCache vertex(device, counters);

    Matrix44 modelToWorld;
    modelToWorld.InitAffine(1.2f, 0.5f, 0.0f,    // X axis
                            -0.3f, 0.9f, 0.1f,   // Y axis
                            0.2f, -0.1f, 1.0f,   // Z axis
                            0.1f, -0.2f, 0.3f);  // translation
    Matrix44 proj;
    proj.m[0][0] = 0.8f;
    proj.m[1][1] = 1.1f;
    proj.m[2][2] = 0.5f;
    proj.m[3][0] = -0.05f;
    vertex.SetMatrix(proj, 0);
    vertex.SetMatrix(modelToWorld, 8);
    VertexShader* shader = vertex.BuiltinVertexShader(3);
    ASSERT_NE(shader, nullptr) << device.lastError;
    const auto pixel = CompilePixelShader(device, "float4 main(float4 Colour : COLOR0) : COLOR { return Colour; }");
    ASSERT_NE(pixel, nullptr) << device.lastError;
    const rendertest::LinkedPair pair(shader, pixel.get());
    ASSERT_NE(pair.Id(), 0u) << pair.Error();

    const Vec3 model[3] = {{-0.6f, -0.5f, 0.2f}, {0.7f, -0.2f, 0.4f}, {-0.1f, 0.6f, 0.1f}};
    std::vector<float> positions, colours;
    float screen[3][2];
    for (int i = 0; i < 3; ++i) {
        positions.insert(positions.end(), {model[i].x, model[i].y, model[i].z, 1});
        colours.insert(colours.end(), {1, 1, 1, 1});
        Matrix44 full;
        Matrix44::Multiply(modelToWorld.ToFull4x4(), proj, full);
        const Vec4 clip = full.TransformVec4({model[i].x, model[i].y, model[i].z, 1});
        // D3D9 screen space: pixel centres on integers, y down.
        screen[i][0] = (clip.x / clip.w + 1) * 0.5f * kSize;
        screen[i][1] = (1 - clip.y / clip.w) * 0.5f * kSize;
    }
    fixture.SetAttribute("POSITION0", 4, positions);
    fixture.SetAttribute("COLOR0", 4, colours);
    fixture.Clear({0, 0, 0, 0});
    ASSERT_TRUE(fixture.Draw(pair.Id(), 3)) << fixture.LastError();

    int inside = 0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const int s0 = Side(screen[0], screen[1], x, y), s1 = Side(screen[1], screen[2], x, y),
                      s2 = Side(screen[2], screen[0], x, y);
            if (s0 == 0 || s1 == 0 || s2 == 0) continue;  // on an edge: either answer is right
            const bool expected = s0 == s1 && s1 == s2;
            inside += expected;
            EXPECT_EQ(fixture.Pixel(x, y)[0] == 255, expected) << "pixel " << x << ", " << y;
        }
    }
    EXPECT_GT(inside, 100);
}

}  // namespace
