#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/render/shader_constant_cache.h"
#include "engine/render/shader_text_buffer.h"
#include "recording_shader_device.h"

namespace {

using namespace engine;
using rendertest::RecordingShaderDevice;

Matrix44 NonSymmetric() {
    Matrix44 m;
    float v = 1.0f;
    for (auto& row : m.m) {
        for (float& f : row) f = v++;
    }
    return m;
}

class ShaderConstants : public ::testing::Test {
protected:
    RecordingShaderDevice device;
    ShaderBindCounters counters;
};

TEST_F(ShaderConstants, FirstVectorAfterStartOrResetUploadsAndEqualValuesAreSkipped) {
    ShaderConstantCache cache(device, counters);
    cache.SetVector(Vec4{}, 5);  // 0 differs from the unknown pattern
    ASSERT_EQ(device.vertexUploads.size(), 1u);
    EXPECT_EQ(device.vertexUploads[0].startRegister, 5);
    EXPECT_EQ(device.vertexUploads[0].values.size(), 1u);
    cache.SetVector(Vec4{}, 5);
    cache.SetVector(Vec4{-0.0f, 0, 0, 0}, 5);  // equal as floats
    EXPECT_EQ(device.vertexUploads.size(), 1u);
    cache.SetVector(Vec4{0, 0, 0, 1}, 5);
    EXPECT_EQ(device.vertexUploads.size(), 2u);

    cache.MarkUnknown();
    std::uint32_t bits;
    std::memcpy(&bits, cache.Register(200), 4);
    EXPECT_EQ(bits, 0xFFFFFFFFu);
    cache.SetVector(Vec4{0, 0, 0, 1}, 5);
    EXPECT_EQ(device.vertexUploads.size(), 3u);

    cache.SetVector(Vec4{1, 2, 3, 4}, -1);
    cache.SetVector(Vec4{1, 2, 3, 4}, 256);
    EXPECT_EQ(device.vertexUploads.size(), 3u);
}

TEST_F(ShaderConstants, MatricesGoUpTransposedAsFourRegistersUnlessAllSixteenFloatsMatch) {
    ShaderConstantCache cache(device, counters);
    Matrix44 m = NonSymmetric();
    cache.SetMatrix(m, 8);
    ASSERT_EQ(device.vertexUploads.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(device.vertexUploads[i].startRegister, 8 + i);
        ASSERT_EQ(device.vertexUploads[i].values.size(), 1u);
        // Register 8 + i holds column i.
        for (int row = 0; row < 4; ++row) EXPECT_EQ(device.vertexUploads[i].values[0][row], m.m[row][i]);
    }
    cache.SetMatrix(m, 8);
    EXPECT_EQ(device.vertexUploads.size(), 4u);
    m.m[3][2] += 1.0f;  // one float differs: all four registers go up again
    cache.SetBoneMatrix(8, m);
    EXPECT_EQ(device.vertexUploads.size(), 8u);
    EXPECT_EQ(cache.Register(10)[3], m.m[3][2]);

    // Register c255 is the graphics layer's: nothing reaching it goes up or stays in the cache.
    cache.SetMatrix(m, 253);
    cache.SetMatrix(m, 252);
    cache.SetVector(Vec4{1, 2, 3, 4}, 255);
    EXPECT_EQ(device.vertexUploads.size(), 8u);
    EXPECT_NE(cache.Register(255)[0], 1.0f);
    cache.SetMatrix(m, 251);
    EXPECT_EQ(device.vertexUploads.size(), 12u);
    cache.SetVector(Vec4{1, 2, 3, 4}, 254);
    EXPECT_EQ(device.vertexUploads.size(), 13u);
}

TEST_F(ShaderConstants, ClearShellParamsZeroesRegister31Once) {
    ShaderConstantCache cache(device, counters);
    cache.ClearShellParams();
    cache.ClearShellParams();
    ASSERT_EQ(device.vertexUploads.size(), 1u);
    EXPECT_EQ(device.vertexUploads[0].startRegister, 31);
    EXPECT_EQ(device.VertexRegister(31), (std::array<float, 4>{0, 0, 0, 0}));
    cache.SetVector(Vec4{0.5f, 0.2f, 0, 0}, 31);
    cache.ClearShellParams();
    EXPECT_EQ(device.vertexUploads.size(), 3u);
}

TEST_F(ShaderConstants, PixelConstantsAlwaysUpload) {
    ShaderTextBuffer pixels(device, counters);
    pixels.SetPixelColour(0x80FF4000u, 3);
    pixels.SetPixelColour(0x80FF4000u, 3);
    EXPECT_EQ(device.pixelUploads.size(), 2u);
    EXPECT_EQ(device.PixelRegister(3), (std::array<float, 4>{1.0f, 64 / 255.0f, 0.0f, 128 / 255.0f}));
    pixels.SetPixelVector3(Vec3{1, 2, 3}, 11);
    EXPECT_EQ(device.PixelRegister(11), (std::array<float, 4>{1, 2, 3, 1}));
    pixels.SetPixelVector(Vec4{5, 6, 7, 8}, 12);
    EXPECT_EQ(device.PixelRegister(12), (std::array<float, 4>{5, 6, 7, 8}));
    const Matrix44 m = NonSymmetric();
    pixels.SetPixelMatrix(m, 34);
    pixels.SetPixelMatrix(m, 34);
    EXPECT_EQ(device.pixelUploads.size(), 6u);
    for (int i = 0; i < 4; ++i) {
        for (int row = 0; row < 4; ++row) EXPECT_EQ(device.PixelRegister(34 + i)[row], m.m[row][i]);
    }
    pixels.SetPixelMatrix(m, 253);
    pixels.SetPixelMatrix(m, 252);  // would reach c255, the graphics layer's
    pixels.SetPixelColour(0, 255);
    pixels.SetPixelColour(0, 256);
    EXPECT_EQ(device.pixelUploads.size(), 6u);
    pixels.SetPixelColour(0, 254);
    EXPECT_EQ(device.pixelUploads.size(), 7u);
}

TEST_F(ShaderConstants, BindCountersCountRequestsAndChanges) {
    rendertest::RecordedVertexShader vs1({1}), vs2({2});
    rendertest::RecordedPixelShader ps1({3});
    {
        ShaderConstantCache vertex(device, counters);
        ShaderTextBuffer pixel(device, counters);
        vertex.BindVertexShader(&vs1);
        vertex.BindVertexShader(&vs1);
        vertex.BindVertexShader(&vs2);
        pixel.BindPixelShader(&ps1);
        pixel.BindPixelShader(&ps1);
        EXPECT_EQ(vertex.Current(), &vs2);
        EXPECT_EQ(pixel.Current(), &ps1);
        EXPECT_EQ(counters.vertexRequests, 3u);
        EXPECT_EQ(counters.vertexChanges, 2u);
        EXPECT_EQ(counters.pixelRequests, 2u);
        EXPECT_EQ(counters.pixelChanges, 1u);
        EXPECT_EQ(device.vertexBinds, (std::vector<VertexShader*>{&vs1, &vs2}));
    }
    // Destruction unbinds: a request and a change each, as a shader was bound.
    EXPECT_EQ(counters.vertexRequests, 4u);
    EXPECT_EQ(counters.vertexChanges, 3u);
    EXPECT_EQ(counters.pixelRequests, 3u);
    EXPECT_EQ(counters.pixelChanges, 2u);
    EXPECT_EQ(device.vertexBinds.back(), nullptr);
    EXPECT_EQ(device.pixelBinds.back(), nullptr);

    { ShaderConstantCache idle(device, counters); }
    EXPECT_EQ(counters.vertexRequests, 5u);
    EXPECT_EQ(counters.vertexChanges, 3u);  // nothing was bound
}

}  // namespace
