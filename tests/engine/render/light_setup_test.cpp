#include "engine/render/light_setup.h"

#include <gtest/gtest.h>

#include <cmath>

#include "recording_shader_device.h"

namespace {

using namespace engine;
using rendertest::RecordingShaderDevice;

constexpr float kTolerance = 1e-4f;

// Row-vector point x the matrix held transposed in four registers from `first`.
template <typename Read>
Vec4 ThroughRegisters(Read read, int first, const Vec3& p) {
    float out[4];
    for (int i = 0; i < 4; ++i) {
        const std::array<float, 4> column = read(first + i);
        out[i] = p.x * column[0] + p.y * column[1] + p.z * column[2] + column[3];
    }
    return {out[0], out[1], out[2], out[3]};
}

// A placement looking along `forward` from `position`.
Matrix44 Placement(const Vec3& position, const Vec3& forward) {
    Matrix44 m;
    m.SetBasisFromDirection(forward);
    m.SetRow(3, position);
    return m;
}

class LightSetup : public ::testing::Test {
protected:
    std::uint32_t SetupLights() { return SetupDrawLights(lights, camera, splits, vertex, pixel); }
    std::array<float, 4> Pixel(int reg) const { return device.PixelRegister(reg); }

    RecordingShaderDevice device;
    ShaderBindCounters counters;
    ShaderConstantCache vertex{device, counters};
    ShaderTextBuffer pixel{device, counters};
    DrawLight lights[kLightSlotCount];
    ShadowSplit splits[kShadowSplitCount];
    Matrix44 camera = Placement({1, 2, 3}, {0, 0, 1});
};

TEST_F(LightSetup, PointLightsAloneWriteNoShadowRegisters) {
    struct Case {
        bool first, second;
        std::uint32_t flags;
    };
    for (const Case& c : {Case{true, false, 0x08}, Case{false, true, 0x10}, Case{true, true, 0x18}}) {
        RecordingShaderDevice fresh;
        ShaderConstantCache freshVertex(fresh, counters);
        ShaderTextBuffer freshPixel(fresh, counters);
        DrawLight set[kLightSlotCount];
        set[3].enabled = c.first;
        set[4].enabled = c.second;
        for (DrawLight& light : set) light.castsShadow = true;  // points never cast shadows
        EXPECT_EQ(SetupDrawLights(set, camera, splits, freshVertex, freshPixel), c.flags);
        for (int reg : {12, 13, 14}) EXPECT_FALSE(fresh.PixelRegisterWritten(reg)) << reg;
        for (int reg = 33; reg <= 49; ++reg) EXPECT_FALSE(fresh.PixelRegisterWritten(reg)) << reg;
        EXPECT_TRUE(fresh.vertexUploads.empty());
        EXPECT_EQ(fresh.PixelRegister(11), (std::array<float, 4>{1, 2, 3, 1}));
    }
}

TEST_F(LightSetup, PointLightRegisters) {
    lights[4].enabled = true;
    lights[4].matrix = Placement({4, 5, 6}, {1, 0, 0});
    lights[4].colour = 0xFF00FF80u;
    lights[4].intensity = 2.0f;
    lights[4].range = 12.0f;
    EXPECT_EQ(SetupLights(), 0x10u);
    EXPECT_EQ(Pixel(30), (std::array<float, 4>{4, 5, 6, 1}));
    EXPECT_EQ(Pixel(31), (std::array<float, 4>{0, 1, 128 / 255.0f, 1}));
    EXPECT_EQ(Pixel(32), (std::array<float, 4>{0, 0, 2, 12}));
    EXPECT_FALSE(device.PixelRegisterWritten(27));
}

TEST_F(LightSetup, NinetyDegreeSpotLightCone) {
    lights[2].enabled = true;
    lights[2].coneAngle = 90.0f;
    lights[2].intensity = 3.0f;
    lights[2].range = 25.0f;
    lights[2].matrix = Placement({0, 10, 0}, {0, -1, 0});
    EXPECT_EQ(SetupLights(), 0x04u);
    const float cos45 = std::sqrt(0.5f);
    const std::array<float, 4> val = Pixel(26);
    EXPECT_NEAR(val[0], cos45, kTolerance);
    EXPECT_NEAR(val[1], 1.0f / (1.0f - cos45), 1e-3f);
    EXPECT_EQ(val[2], 3.0f);
    EXPECT_EQ(val[3], 25.0f);
    EXPECT_NEAR(Pixel(23)[1], -1.0f, kTolerance);  // LightDir: the placement's forward axis
    EXPECT_EQ(Pixel(24), (std::array<float, 4>{0, 10, 0, 1}));
    EXPECT_FALSE(device.PixelRegisterWritten(19));
    EXPECT_FALSE(device.PixelRegisterWritten(14));
}

TEST_F(LightSetup, SpotShadowMapsTheConeOntoTheMap) {
    DrawLight& spot = lights[1];
    spot.enabled = true;
    spot.castsShadow = true;
    spot.depthBias = 0.05f;
    spot.coneAngle = 60.0f;
    spot.range = 40.0f;
    spot.matrix = Placement({3, 8, -2}, {0, 0, 1});
    EXPECT_EQ(SetupLights(), 0x42u);
    EXPECT_EQ(Pixel(13), (std::array<float, 4>{0.05f, 0, 0, 0}));
    const auto read = [this](int reg) { return device.VertexRegister(reg); };
    const float centre = 0.5f + 1.0f / 4096.0f;
    const auto project = [&](const Vec3& p) {
        const Vec4 v = ThroughRegisters(read, 18, p);
        return Vec3{v.x / v.w, v.y / v.w, v.z / v.w};
    };
    const Vec3 onAxis = project({3, 8, 10});
    EXPECT_NEAR(onAxis.x, centre, kTolerance);
    EXPECT_NEAR(onAxis.y, centre, kTolerance);
    EXPECT_NEAR(project({3, 8, -2 + 0.1f}).z, 0.0f, kTolerance);  // near plane
    EXPECT_NEAR(project({3, 8, 38}).z, 1.0f, kTolerance);         // the range is the far plane
    // Half the cone to the right lands on the map's right edge; up is the top row (texture y 0).
    const float edge = 10.0f * std::tan(30.0f * 3.14159265f / 180.0f);
    EXPECT_NEAR(project({3 + edge, 8, 8}).x, 1.0f + centre - 0.5f, kTolerance);
    EXPECT_NEAR(project({3, 8 + edge, 8}).y, centre - 0.5f, kTolerance);
    for (int reg : {18, 19, 20, 21}) EXPECT_TRUE(device.VertexRegisterWritten(reg));
    EXPECT_FALSE(device.VertexRegisterWritten(22));
}

TEST_F(LightSetup, DirectionalShadowFillsTheSplitsAndTheViewDepth) {
    DrawLight& sun = lights[0];
    sun.enabled = true;
    sun.castsShadow = true;
    sun.depthBias = 0.001f;
    sun.colour = 0x40FF8000u;
    sun.matrix = Placement({0, 0, 0}, {0, -1, 0});
    for (int i = 0; i < kShadowSplitCount; ++i) {
        splits[i].view = Placement({10.0f * i, 50, 0}, {0, -1, 0});
        splits[i].orthoNear = 0;
        splits[i].orthoFar = 100.0f + i;
        splits[i].orthoWidth = 20.0f + 10 * i;
        splits[i].endDistance = 5.0f * (i + 1);
    }
    EXPECT_EQ(SetupLights(), 0x21u);
    EXPECT_NEAR(Pixel(17)[1], -1.0f, kTolerance);
    EXPECT_EQ(Pixel(17)[3], 1.0f);
    EXPECT_EQ(Pixel(18), (std::array<float, 4>{1, 128 / 255.0f, 0, 64 / 255.0f}));
    EXPECT_EQ(Pixel(12), (std::array<float, 4>{0.001f, 0, 0, 0}));
    EXPECT_EQ(Pixel(33), (std::array<float, 4>{5, 10, 15, 20}));

    const float centre = 0.5f + 1.0f / 8192.0f;
    const auto read = [this](int reg) { return device.PixelRegister(reg); };
    for (int i = 0; i < kShadowSplitCount; ++i) {
        const Vec4 eye = ThroughRegisters(read, 34 + 4 * i, {10.0f * i, 50, 0});
        EXPECT_NEAR(eye.x, centre, kTolerance) << i;
        EXPECT_NEAR(eye.y, centre, kTolerance) << i;
        EXPECT_NEAR(eye.z, 0.0f, kTolerance) << i;
        EXPECT_NEAR(eye.w, 1.0f, kTolerance) << i;
        const Vec4 far = ThroughRegisters(read, 34 + 4 * i, {10.0f * i, 50 - (100.0f + i), 0});
        EXPECT_NEAR(far.z, 1.0f, kTolerance) << i;
        // Half the width along the split's right axis reaches the right edge of its map.
        const Vec3 right = splits[i].view.Row(0);
        const float half = splits[i].orthoWidth / 2;
        const Vec4 edge = ThroughRegisters(read, 34 + 4 * i, Vec3{10.0f * i, 50, 0} + right * half);
        EXPECT_NEAR(edge.x, centre + 0.5f, kTolerance) << i;
    }

    // WorldToCam: the camera's own position is view-space origin, a point ahead of it has depth.
    const auto readVertex = [this](int reg) { return device.VertexRegister(reg); };
    const Vec4 atCamera = ThroughRegisters(readVertex, 26, {1, 2, 3});
    EXPECT_NEAR(atCamera.z, 0.0f, kTolerance);
    EXPECT_NEAR(ThroughRegisters(readVertex, 26, {1, 2, 10}).z, 7.0f, kTolerance);
}

TEST_F(LightSetup, DisabledLightsWriteOnlyTheCameraPosition) {
    for (DrawLight& light : lights) light.castsShadow = true;
    EXPECT_EQ(SetupLights(), 0u);
    ASSERT_EQ(device.pixelUploads.size(), 1u);
    EXPECT_EQ(device.pixelUploads[0].startRegister, 11);
    EXPECT_TRUE(device.vertexUploads.empty());
}

}  // namespace
