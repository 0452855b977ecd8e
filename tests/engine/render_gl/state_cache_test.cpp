// The state cache and the state vocabulary: repeated calls reach neither the layer nor GL, a reset cache
// sends again, and the device ends in the states the vocabulary names.
#include <epoxy/gl.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "render_test_fixture.h"

namespace {

using rendertest::GraphicsDeviceTest;

struct RenderStateValue {
    std::uint32_t state;
    std::uint32_t value;
};

struct VocabularyCase {
    std::string name;
    std::function<void(engine::GraphicsDevice&)> call;
    std::vector<RenderStateValue> renderStates;
    std::function<void()> checkGl;
};

GLint GlInteger(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

void ExpectBlend(GLenum source, GLenum dest) {
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(GlInteger(GL_BLEND_SRC_RGB), static_cast<GLint>(source));
    EXPECT_EQ(GlInteger(GL_BLEND_DST_RGB), static_cast<GLint>(dest));
}

void ExpectDepth(bool test, bool write, GLenum function) {
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), test ? GL_TRUE : GL_FALSE);
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_EQ(mask, write ? GL_TRUE : GL_FALSE);
    if (test) {
        EXPECT_EQ(GlInteger(GL_DEPTH_FUNC), static_cast<GLint>(function));
    }
}

std::vector<VocabularyCase> Vocabulary() {
    using D = engine::GraphicsDevice;
    return {
        {"blend 0", [](D& d) { d.SetBlendMode(0); }, {{sys::kRsAlphaBlendEnable, 0}},
         [] { EXPECT_FALSE(glIsEnabled(GL_BLEND)); }},
        {"blend 1", [](D& d) { d.SetBlendMode(1); },
         {{sys::kRsSrcBlend, sys::kBlendSrcAlpha}, {sys::kRsDestBlend, sys::kBlendOne}, {sys::kRsAlphaBlendEnable, 1}},
         [] { ExpectBlend(GL_SRC_ALPHA, GL_ONE); }},
        {"blend 2", [](D& d) { d.SetBlendMode(2); },
         {{sys::kRsSrcBlend, sys::kBlendZero},
          {sys::kRsDestBlend, sys::kBlendInvSrcColor},
          {sys::kRsAlphaBlendEnable, 1}},
         [] { ExpectBlend(GL_ZERO, GL_ONE_MINUS_SRC_COLOR); }},
        {"blend 3", [](D& d) { d.SetBlendMode(3); },
         {{sys::kRsSrcBlend, sys::kBlendSrcAlpha}, {sys::kRsDestBlend, sys::kBlendInvSrcAlpha}},
         [] { ExpectBlend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); }},
        {"blend 4", [](D& d) { d.SetBlendMode(4); },
         {{sys::kRsSrcBlend, sys::kBlendOne}, {sys::kRsDestBlend, sys::kBlendInvSrcAlpha}},
         [] { ExpectBlend(GL_ONE, GL_ONE_MINUS_SRC_ALPHA); }},
        {"blend 5", [](D& d) { d.SetBlendMode(5); },
         {{sys::kRsSrcBlend, sys::kBlendOne}, {sys::kRsDestBlend, sys::kBlendOne}},
         [] { ExpectBlend(GL_ONE, GL_ONE); }},
        {"alpha test 0", [](D& d) { d.SetAlphaTest(0, 9); }, {{sys::kRsAlphaTestEnable, 0}}, nullptr},
        {"alpha test 1", [](D& d) { d.SetAlphaTest(1, 77); }, {{sys::kRsAlphaTestEnable, 1}, {sys::kRsAlphaRef, 77}},
         nullptr},
        {"alpha test 2", [](D& d) { d.SetAlphaTest(2, 200); }, {{sys::kRsAlphaTestEnable, 1}, {sys::kRsAlphaRef, 1}},
         nullptr},
        {"depth test", [](D& d) { d.SetDepthMode(true, false, false); },
         {{sys::kRsZEnable, 1}, {sys::kRsZWriteEnable, 0}, {sys::kRsZFunc, sys::kCmpLessEqual}},
         [] { ExpectDepth(true, false, GL_LEQUAL); }},
        {"depth reversed", [](D& d) { d.SetDepthMode(true, true, true); },
         {{sys::kRsZEnable, 1}, {sys::kRsZWriteEnable, 1}, {sys::kRsZFunc, sys::kCmpGreaterEqual}},
         [] { ExpectDepth(true, true, GL_GEQUAL); }},
        {"depth write only", [](D& d) { d.SetDepthMode(false, true, true); },
         {{sys::kRsZEnable, 1}, {sys::kRsZWriteEnable, 1}, {sys::kRsZFunc, sys::kCmpAlways}},
         [] { ExpectDepth(true, true, GL_ALWAYS); }},
        {"depth off", [](D& d) { d.SetDepthMode(false, false, false); }, {{sys::kRsZEnable, 0}},
         [] { EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST)); }},
        {"material: blended without write flags", [](D& d) { d.ApplyMaterialDepthState(0, 3); },
         {{sys::kRsZEnable, 1}, {sys::kRsZWriteEnable, 0}, {sys::kRsZFunc, sys::kCmpLessEqual}}, nullptr},
        {"material: no test, flag 0x40 writes, reversed", [](D& d) { d.ApplyMaterialDepthState(0x4 | 0x40 | 0x2, 3); },
         {{sys::kRsZEnable, 1}, {sys::kRsZWriteEnable, 1}, {sys::kRsZFunc, sys::kCmpAlways}}, nullptr},
        {"material: opaque with flag 0x8", [](D& d) { d.ApplyMaterialDepthState(0x8, 0); },
         {{sys::kRsZEnable, 1}, {sys::kRsZWriteEnable, 0}}, nullptr},
        {"colour mask", [](D& d) { d.SetColourWriteMask(7); }, {{sys::kRsColorWriteEnable, 7}},
         [] {
             GLboolean mask[4] = {};
             glGetBooleanv(GL_COLOR_WRITEMASK, mask);
             EXPECT_TRUE(mask[0] && mask[1] && mask[2] && !mask[3]);
         }},
        {"cull clockwise", [](D& d) { d.SetCullMode(sys::kCullCw); }, {{sys::kRsCullMode, sys::kCullCw}},
         [] {
             EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
             EXPECT_EQ(GlInteger(GL_FRONT_FACE), GL_CW);
         }},
        {"cull none", [](D& d) { d.SetCullMode(sys::kCullNone); }, {{sys::kRsCullMode, sys::kCullNone}},
         [] { EXPECT_FALSE(glIsEnabled(GL_CULL_FACE)); }},
    };
}

TEST_F(GraphicsDeviceTest, EveryVocabularyCallIsSentOnceUntilTheCacheIsReset) {
    Create();
    for (const VocabularyCase& test : Vocabulary()) {
        SCOPED_TRACE(test.name);
        device_->ResetStateCache();
        Gpu().ResetCallCounts();
        test.call(*device_);
        EXPECT_GT(Gpu().CallCount(sys::GpuCall::SetRenderState), 0u);
        for (const RenderStateValue& expected : test.renderStates) {
            EXPECT_EQ(Gpu().GetRenderState(expected.state), expected.value) << "state " << expected.state;
        }
        if (test.checkGl) test.checkGl();

        Gpu().ResetCallCounts();
        const std::uint64_t glCalls = sys::GpuDevice::GlCallCount();
        test.call(*device_);
        EXPECT_EQ(Gpu().TotalCallCount(), 0u);
        EXPECT_EQ(sys::GpuDevice::GlCallCount(), glCalls);

        device_->ResetStateCache();
        Gpu().ResetCallCounts();
        test.call(*device_);
        EXPECT_GT(Gpu().CallCount(sys::GpuCall::SetRenderState), 0u);
    }
}

TEST_F(GraphicsDeviceTest, SamplerVocabularyAndTheLodBias) {
    Create();
    const std::uint32_t stage = 5;
    device_->SetTextureAddressMode(stage, 3);
    EXPECT_EQ(Gpu().GetSamplerState(stage, sys::kSampAddressU), sys::kAddressClamp);
    EXPECT_EQ(Gpu().GetSamplerState(stage, sys::kSampAddressV), sys::kAddressClamp);
    Gpu().ResetCallCounts();
    for (int mode : {0, 5, 3}) device_->SetTextureAddressMode(stage, mode);
    EXPECT_EQ(Gpu().TotalCallCount(), 0u) << "modes 0 and 5 change nothing, 3 is cached";

    device_->SetMipLodBias(-9.0f);
    EXPECT_EQ(device_->MipLodBias(), -5.0f);
    device_->SetMipLodBias(0.75f);
    device_->SetTextureFilter(stage, 0, 2);
    EXPECT_EQ(Gpu().GetSamplerState(stage, sys::kSampMinFilter), sys::kFilterPoint);
    EXPECT_EQ(Gpu().GetSamplerState(stage, sys::kSampMipFilter), sys::kFilterNone);
    EXPECT_EQ(Gpu().GetSamplerState(stage, sys::kSampMaxMipLevel), 0u) << "plain kinds leave the mip states";
    for (int kind : {2, 3}) {
        device_->SetTextureFilter(stage, kind, static_cast<std::uint32_t>(kind));
        const std::uint32_t filter = kind == 2 ? sys::kFilterLinear : sys::kFilterPoint;
        EXPECT_EQ(Gpu().GetSamplerState(stage, sys::kSampMinFilter), filter);
        EXPECT_EQ(Gpu().GetSamplerState(stage, sys::kSampMagFilter), filter);
        EXPECT_EQ(Gpu().GetSamplerState(stage, sys::kSampMipFilter), sys::kFilterLinear);
        EXPECT_EQ(Gpu().GetSamplerState(stage, sys::kSampMaxMipLevel), static_cast<std::uint32_t>(kind));
        float bias = 0.0f;
        const std::uint32_t bits = Gpu().GetSamplerState(stage, sys::kSampMipMapLodBias);
        std::memcpy(&bias, &bits, sizeof bias);
        EXPECT_EQ(bias, 0.75f);
    }
    Gpu().ResetCallCounts();
    device_->SetTextureFilter(stage, 3, 3);
    EXPECT_EQ(Gpu().TotalCallCount(), 0u);
    device_->SetTextureFilter(stage, 1, 0);
    EXPECT_EQ(Gpu().GetSamplerState(stage, sys::kSampMagFilter), sys::kFilterLinear);
}

TEST_F(GraphicsDeviceTest, TexturesTargetsAndIndexBuffersAreCachedToo) {
    Create();
    sys::GpuTexture* texture = Gpu().CreateTexture(4, 4, 1, 0, sys::kFmtA8R8G8B8, sys::kPoolManaged);
    Gpu().ResetCallCounts();
    device_->SetRawTexture(2, texture);
    device_->SetRawTexture(2, texture);
    device_->SetRawTexture(2, nullptr);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetTexture), 1u);
    EXPECT_EQ(Gpu().GetTexture(2), texture);
    device_->UnbindTexture(2);
    device_->UnbindTexture(2);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetTexture), 2u) << "a stage known to be empty sends nothing";
    device_->SetRawTexture(2, texture);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetTexture), 3u);
    device_->UnbindAll(false);
    EXPECT_EQ(Gpu().GetTexture(2), nullptr);
    // After a cache reset every stage is unknown: the first full unbind reaches the layer, the next does not.
    device_->ResetStateCache();
    Gpu().ResetCallCounts();
    device_->UnbindAllTextures();
    device_->UnbindAllTextures();
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetTexture), 16u);
    Gpu().ResetCallCounts();
    device_->UnbindAll(false);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetIndices), 1u);
    texture->Release();

    sys::GpuSurface* back = device_->BackBufferSurface();
    device_->SetRenderTargetSurface(back);
    device_->SetRenderTargetSurface(back);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetRenderTarget), 1u);
    device_->SetDepthSurfaceCached(nullptr);
    device_->SetDepthSurfaceCached(nullptr);
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::SetDepthStencilSurface), 1u);

    // A full unbind also resets the state cache.
    device_->SetBlendMode(5);
    Gpu().ResetCallCounts();
    device_->UnbindAll(true);
    device_->SetBlendMode(5);
    EXPECT_GT(Gpu().CallCount(sys::GpuCall::SetRenderState), 0u);
}

}  // namespace
