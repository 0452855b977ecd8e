// The graphics layer's device: creation, clears, targets, presentation, the loss protocol and counting.
#include <SDL.h>
#include <epoxy/gl.h>

#include "gpu_test_fixture.h"

namespace {

using gputest::GpuDeviceTest;
using gputest::Ref;
using gputest::Rgba;
using namespace sys;

TEST(GpuAdapter, CapsAndDepthFormats) {
    ASSERT_TRUE(testsupport::GlEnvironment().Ready());
    ResetGpuHooks();
    const auto adapter = GpuAdapter::Create();
    ASSERT_NE(adapter, nullptr);
    const GpuCaps caps = adapter->GetDeviceCaps();
    EXPECT_EQ(caps.vertexShaderVersion & 0xFFFF, 0x300u);
    EXPECT_EQ(caps.pixelShaderVersion & 0xFFFF, 0x300u);
    EXPECT_EQ(caps.maxPixelShader30InstructionSlots, 512u);
    for (const auto& [format, accepted] : {std::pair{kFmtD24S8, true}, {kFmtD24X8, true}, {kFmtD16, true},
                                           {kFmtD32, false}}) {
        EXPECT_EQ(adapter->CheckDeviceFormat(kFmtX8R8G8B8, kUsageDepthStencil, kResourceSurface, format) == kGpuOk,
                  accepted)
            << format;
        EXPECT_EQ(adapter->CheckDepthStencilMatch(kFmtX8R8G8B8, kFmtX8R8G8B8, format) == kGpuOk, accepted) << format;
    }
    GpuDisplayMode desktop;
    EXPECT_EQ(adapter->GetAdapterDisplayMode(desktop), kGpuOk);
    EXPECT_GT(desktop.width, 0u);
}

TEST(GpuAdapter, TestHooksReplaceModesAndDepthAnswersAndRefuseCreation) {
    ASSERT_TRUE(testsupport::GlEnvironment().Ready());
    ResetGpuHooks();
    GpuHooks().displayModes = std::vector<GpuDisplayMode>{{800, 600, 60, kFmtX8R8G8B8}, {640, 480, 75, kFmtR5G6B5},
                                                          {1024, 768, 60, kFmtX8R8G8B8}};
    GpuHooks().depthFormatAccepted = [](GpuFormat format) { return format == kFmtD32; };
    auto adapter = GpuAdapter::Create();
    ASSERT_NE(adapter, nullptr);
    EXPECT_EQ(adapter->GetAdapterModeCount(kFmtX8R8G8B8), 2u);
    EXPECT_EQ(adapter->GetAdapterModeCount(kFmtA8R8G8B8), 0u);
    GpuDisplayMode mode;
    ASSERT_EQ(adapter->EnumAdapterModes(kFmtX8R8G8B8, 1, mode), kGpuOk);
    EXPECT_EQ(mode.width, 1024u);
    EXPECT_NE(adapter->EnumAdapterModes(kFmtX8R8G8B8, 2, mode), kGpuOk);
    EXPECT_EQ(adapter->CheckDepthStencilMatch(kFmtX8R8G8B8, kFmtX8R8G8B8, kFmtD32), kGpuOk);
    EXPECT_NE(adapter->CheckDepthStencilMatch(kFmtX8R8G8B8, kFmtX8R8G8B8, kFmtD24S8), kGpuOk);

    GpuHooks().FailNext(GpuCreateKind::Device);
    GpuPresentParameters params;
    params.backBufferWidth = 8;
    params.backBufferHeight = 8;
    GpuResult result = kGpuOk;
    EXPECT_EQ(adapter->CreateDevice(params, &result), nullptr);
    EXPECT_NE(result, kGpuOk);
    EXPECT_NE(adapter->CreateDevice(params, &result), nullptr);
    GpuHooks().FailNext(GpuCreateKind::Adapter);
    EXPECT_EQ(GpuAdapter::Create(), nullptr);
    ResetGpuHooks();
}

TEST_F(GpuDeviceTest, StartsAtTheDefaultStatesWithTheBackBufferBound) {
    Ref<GpuSurface> backBuffer(device_->GetBackBuffer());
    Ref<GpuSurface> depth(device_->GetDepthStencilSurface());
    Ref<GpuSurface> target(device_->GetRenderTarget(0));
    ASSERT_TRUE(backBuffer && depth);
    EXPECT_EQ(target.get(), backBuffer.get());
    EXPECT_EQ(backBuffer->GetDesc().width, kWidth);
    EXPECT_EQ(depth->GetDesc().format, kFmtD24S8);
    EXPECT_EQ(device_->GetRenderState(kRsZFunc), kCmpLessEqual);
    EXPECT_EQ(device_->GetRenderState(kRsCullMode), kCullCcw);
    EXPECT_EQ(device_->GetViewport().width, kWidth);
    GLint depthFunction = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
    EXPECT_EQ(depthFunction, GL_LEQUAL);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    // The viewport's pixel size for the half-pixel shift.
    EXPECT_FLOAT_EQ(device_->VertexRegister(255)[0], 1.0f / kWidth);
    EXPECT_FLOAT_EQ(device_->VertexRegister(255)[1], 1.0f / kHeight);
}

TEST_F(GpuDeviceTest, ClearCoversTheViewportOrItsRectanglesWithinTheScissor) {
    ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget, 0xFF000000, 1.0f, 0), kGpuOk);
    GpuViewport part;
    part.x = 8;
    part.y = 4;
    part.width = 8;
    part.height = 8;
    device_->SetViewport(part);
    device_->Clear(0, nullptr, kClearTarget, 0xFFFF0000, 1.0f, 0);
    EXPECT_EQ(Pixel(8, 4), Rgba(0xFFFF0000));
    EXPECT_EQ(Pixel(15, 11), Rgba(0xFFFF0000));
    EXPECT_EQ(Pixel(7, 4), Rgba(0xFF000000));
    EXPECT_EQ(Pixel(8, 12), Rgba(0xFF000000));

    // A rectangle reaching out of the viewport is cut to it.
    const GpuRect rect = {12, 0, 30, 6};
    device_->Clear(1, &rect, kClearTarget, 0xFF00FF00, 1.0f, 0);
    EXPECT_EQ(Pixel(12, 4), Rgba(0xFF00FF00));
    EXPECT_EQ(Pixel(15, 5), Rgba(0xFF00FF00));
    EXPECT_EQ(Pixel(12, 6), Rgba(0xFFFF0000));
    EXPECT_EQ(Pixel(16, 4), Rgba(0xFF000000));
    EXPECT_EQ(Pixel(12, 3), Rgba(0xFF000000));

    // With the scissor on, only its part of the viewport.
    device_->SetScissorRect({0, 0, 10, 6});
    device_->SetRenderState(kRsScissorTestEnable, 1);
    device_->Clear(0, nullptr, kClearTarget, 0xFF0000FF, 1.0f, 0);
    EXPECT_EQ(Pixel(9, 5), Rgba(0xFF0000FF));
    EXPECT_EQ(Pixel(10, 5), Rgba(0xFFFF0000));
    EXPECT_EQ(Pixel(9, 6), Rgba(0xFFFF0000));
    EXPECT_EQ(Pixel(12, 5), Rgba(0xFF00FF00));
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST_F(GpuDeviceTest, ClearWritesDepthWhateverTheDepthMaskAndColourByTheColourMask) {
    UseColourShaders();
    device_->SetRenderState(kRsZWriteEnable, 0);
    device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000, 0.25f, 0);
    EXPECT_NEAR(Depth(3, 3), 0.25f, 1e-5f);
    DrawUp(FullScreen(0xFF102030, 0.1f));
    EXPECT_NEAR(Depth(3, 3), 0.25f, 1e-5f);
    device_->Clear(0, nullptr, kClearZBuffer, 0, 1.0f, 0);
    EXPECT_FLOAT_EQ(Depth(3, 3), 1.0f);
    GLboolean depthMask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    EXPECT_EQ(depthMask, GL_FALSE);

    device_->SetRenderState(kRsColorWriteEnable, kWriteRed | kWriteGreen | kWriteBlue);
    device_->Clear(0, nullptr, kClearTarget, 0x40506070, 1.0f, 0);
    EXPECT_EQ(Pixel(0, 0), (std::array<int, 4>{0x50, 0x60, 0x70, 0xFF}));
}

TEST_F(GpuDeviceTest, CullModesFollowTheWindingOnScreen) {
    UseColourShaders();
    // Left half clockwise on screen (y down), right half counter-clockwise.
    const std::uint32_t c = 0xFFFFFFFF;
    const std::vector<gputest::ColourVertex> vertices = {
        {-1, 1, 0, c}, {0, 1, 0, c}, {0, -1, 0, c},  {-1, 1, 0, c}, {0, -1, 0, c}, {-1, -1, 0, c},
        {0, 1, 0, c},  {1, -1, 0, c}, {1, 1, 0, c},  {0, 1, 0, c},  {0, -1, 0, c}, {1, -1, 0, c},
    };
    const struct {
        std::uint32_t mode;
        bool clockwiseShown;
        bool counterShown;
    } cases[] = {{kCullNone, true, true}, {kCullCw, false, true}, {kCullCcw, true, false}};
    for (const auto& test : cases) {
        device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000, 1.0f, 0);
        device_->SetRenderState(kRsCullMode, test.mode);
        DrawUp(vertices);
        EXPECT_EQ(Pixel(4, 12)[0], test.clockwiseShown ? 255 : 0) << test.mode;
        EXPECT_EQ(Pixel(27, 12)[0], test.counterShown ? 255 : 0) << test.mode;
    }
}

TEST_F(GpuDeviceTest, SetRenderTargetResetsTheViewportToTheWholeTarget) {
    GpuViewport small;
    small.width = 4;
    small.height = 4;
    device_->SetViewport(small);
    Ref<GpuTexture> texture(device_->CreateTexture(16, 8, 1, kUsageRenderTarget, kFmtA8R8G8B8, kPoolDefault));
    ASSERT_TRUE(texture);
    Ref<GpuSurface> surface(texture->GetSurfaceLevel(0));
    ASSERT_EQ(device_->SetRenderTarget(0, surface.get()), kGpuOk);
    EXPECT_EQ(device_->GetViewport().width, 16u);
    EXPECT_EQ(device_->GetViewport().height, 8u);
    EXPECT_FLOAT_EQ(device_->VertexRegister(255)[0], 1.0f / 16.0f);
    device_->Clear(0, nullptr, kClearTarget, 0xFF804020, 1.0f, 0);
    EXPECT_EQ(Pixel(15, 7, surface.get()), Rgba(0xFF804020));
    EXPECT_EQ(device_->SetRenderTarget(0, nullptr), kGpuInvalidCall);
    EXPECT_EQ(device_->SetRenderTarget(1, surface.get()), kGpuInvalidCall);
}

TEST_F(GpuDeviceTest, AMultisampledClearResolvesThroughStretchRect) {
    Ref<GpuSurface> multisampled(device_->CreateRenderTarget(16, 16, kFmtA8R8G8B8, 4));
    Ref<GpuSurface> depth(device_->CreateDepthStencilSurface(16, 16, kFmtD24S8, 4));
    Ref<GpuTexture> texture(device_->CreateTexture(16, 16, 1, kUsageRenderTarget, kFmtA8R8G8B8, kPoolDefault));
    ASSERT_TRUE(multisampled && depth && texture);
    EXPECT_EQ(multisampled->GetDesc().multiSampleType, 4u);
    Ref<GpuSurface> resolved(texture->GetSurfaceLevel(0));
    device_->SetRenderTarget(0, multisampled.get());
    device_->SetDepthStencilSurface(depth.get());
    ASSERT_EQ(device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF336699, 1.0f, 0), kGpuOk);
    ASSERT_EQ(device_->StretchRect(multisampled.get(), nullptr, resolved.get(), nullptr, kFilterLinear), kGpuOk);
    EXPECT_EQ(Pixel(0, 0, resolved.get()), Rgba(0xFF336699));
    EXPECT_EQ(Pixel(15, 15, resolved.get()), Rgba(0xFF336699));
    // A resolve must keep the size.
    const GpuRect half = {0, 0, 8, 8};
    EXPECT_EQ(device_->StretchRect(multisampled.get(), &half, resolved.get(), nullptr, kFilterLinear), kGpuInvalidCall);
}

TEST_F(GpuDeviceTest, ADepthSurfaceOfAnotherSampleCountStaysDetachedButIsStillCleared) {
    UseColourShaders();
    Ref<GpuSurface> multisampledDepth(device_->CreateDepthStencilSurface(kWidth, kHeight, kFmtD24S8, 4));
    Ref<GpuSurface> multisampled(device_->CreateRenderTarget(kWidth, kHeight, kFmtA8R8G8B8, 4));
    ASSERT_TRUE(multisampledDepth && multisampled);
    // The plain back buffer with a multisampled depth surface: the draw goes on without a depth buffer.
    device_->SetDepthStencilSurface(multisampledDepth.get());
    EXPECT_EQ(device_->Clear(0, nullptr, kClearTarget | kClearZBuffer, 0xFF000000, 0.0f, 0), kGpuOk);
    DrawUp(FullScreen(0xFF00FF00, 0.5f));
    EXPECT_EQ(Pixel(5, 5), Rgba(0xFF00FF00));
    // With its own colour target it is attached again, and the clear above reached it: depth 0 hides the draw.
    device_->SetRenderTarget(0, multisampled.get());
    DrawUp(FullScreen(0xFFFF0000, 0.5f));
    Ref<GpuSurface> back(device_->GetBackBuffer());
    ASSERT_EQ(device_->StretchRect(multisampled.get(), nullptr, back.get(), nullptr, kFilterNone), kGpuOk);
    EXPECT_NE(Pixel(5, 5), Rgba(0xFFFF0000));
}

TEST_F(GpuDeviceTest, ADepthSurfaceLargerThanTheTargetIsClearedOverTheWholeViewport) {
    Ref<GpuSurface> depth(device_->CreateDepthStencilSurface(64, 64, kFmtD24S8, 0));
    ASSERT_TRUE(depth);
    device_->SetDepthStencilSurface(depth.get());
    GpuViewport whole;
    whole.width = 64;
    whole.height = 64;
    device_->SetViewport(whole);
    ASSERT_EQ(device_->Clear(0, nullptr, kClearZBuffer | kClearStencil, 0, 0.5f, 0), kGpuOk);
    std::vector<float> values;
    ASSERT_TRUE(device_->ReadSurfaceFloats(depth.get(), values));
    ASSERT_EQ(values.size(), 64u * 64u);
    EXPECT_NEAR(values[0], 0.5f, 1e-5f);
    EXPECT_NEAR(values.back(), 0.5f, 1e-5f);
}

TEST_F(GpuDeviceTest, PresentShowsTheBackBufferTheRightWayUp) {
    GpuHooks().keepPresentedImage = true;
    const GpuRect top = {0, 0, static_cast<std::int32_t>(kWidth), static_cast<std::int32_t>(kHeight / 2)};
    const GpuRect bottom = {0, static_cast<std::int32_t>(kHeight / 2), static_cast<std::int32_t>(kWidth),
                            static_cast<std::int32_t>(kHeight)};
    device_->Clear(1, &top, kClearTarget, 0xFFFF0000, 1.0f, 0);
    device_->Clear(1, &bottom, kClearTarget, 0xFF0000FF, 1.0f, 0);
    ASSERT_EQ(device_->Present(), kGpuOk);
    const GpuTestHooks& hooks = GpuHooks();
    ASSERT_GT(hooks.presentedWidth, 0);
    ASSERT_EQ(hooks.presentedImage.size(), static_cast<std::size_t>(hooks.presentedWidth) * hooks.presentedHeight * 4);
    const auto at = [&](int x, int y) {
        const std::size_t i = (static_cast<std::size_t>(y) * hooks.presentedWidth + x) * 4;
        return std::array<int, 4>{hooks.presentedImage[i], hooks.presentedImage[i + 1], hooks.presentedImage[i + 2],
                                  hooks.presentedImage[i + 3]};
    };
    EXPECT_EQ(at(0, 0), Rgba(0xFFFF0000));
    EXPECT_EQ(at(hooks.presentedWidth - 1, hooks.presentedHeight - 1), Rgba(0xFF0000FF));
    EXPECT_EQ(device_->CallCount(GpuCall::Present), 1u);
}

TEST_F(GpuDeviceTest, PresentReproducesAWindowSizedBackBufferBitForBit) {
    int width = 0;
    int height = 0;
    SDL_GL_GetDrawableSize(testsupport::GlEnvironment().Window().Native(), &width, &height);
    ASSERT_EQ(device_->Reset(Parameters(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height))),
              kGpuOk);
    Ref<GpuTexture> texture(device_->CreateTexture(static_cast<std::uint32_t>(width),
                                                   static_cast<std::uint32_t>(height), 1, 0, kFmtA8R8G8B8,
                                                   kPoolManaged));
    GpuLockedRect locked;
    ASSERT_EQ(texture->LockRect(0, locked, nullptr, 0), kGpuOk);
    std::uint32_t state = 12345;
    auto* bytes = static_cast<std::uint8_t*>(locked.bits);
    for (int i = 0; i < width * height * 4; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = static_cast<std::uint8_t>(state >> 24);
    }
    ASSERT_EQ(texture->UnlockRect(0), kGpuOk);
    Ref<GpuSurface> level(texture->GetSurfaceLevel(0));
    Ref<GpuSurface> back(device_->GetBackBuffer());
    ASSERT_EQ(device_->StretchRect(level.get(), nullptr, back.get(), nullptr, kFilterNone), kGpuOk);
    std::vector<std::uint8_t> expected;
    ASSERT_TRUE(device_->ReadSurfaceRgba8(back.get(), expected));
    GpuHooks().keepPresentedImage = true;
    ASSERT_EQ(device_->Present(), kGpuOk);
    const std::vector<std::uint8_t>& presented = GpuHooks().presentedImage;
    ASSERT_EQ(presented.size(), expected.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) differing += (i % 4 != 3 && presented[i] != expected[i]) ? 1 : 0;
    EXPECT_EQ(differing, 0u);
    // The texture's bytes are B, G, R, A: the top-left pixel's red is the texture's third byte.
    EXPECT_EQ(expected[0], bytes[2]);
}

TEST_F(GpuDeviceTest, LossFollowsTheHookAndResetRebuildsTheBackBuffer) {
    EXPECT_EQ(device_->TestCooperativeLevel(), kGpuOk);
    GpuHooks().loss = GpuLossState::Lost;
    EXPECT_EQ(device_->TestCooperativeLevel(), kGpuDeviceLost);
    EXPECT_EQ(device_->Present(), kGpuDeviceLost);
    EXPECT_EQ(device_->Reset(Parameters(kWidth, kHeight)), kGpuDeviceLost);
    EXPECT_EQ(device_->TestCooperativeLevel(), kGpuDeviceLost);

    GpuHooks().loss = GpuLossState::NotReset;
    EXPECT_EQ(device_->TestCooperativeLevel(), kGpuDeviceNotReset);
    EXPECT_EQ(device_->Present(), kGpuDeviceNotReset);
    Ref<GpuSurface> backBuffer(device_->GetBackBuffer());
    ASSERT_EQ(device_->Reset(Parameters(20, 10)), kGpuOk);
    EXPECT_EQ(device_->TestCooperativeLevel(), kGpuOk);
    EXPECT_EQ(device_->Present(), kGpuOk);

    // The same surface object, at the new size.
    EXPECT_EQ(backBuffer->GetDesc().width, 20u);
    EXPECT_EQ(device_->GetViewport().height, 10u);
    device_->Clear(0, nullptr, kClearTarget, 0xFF112233, 1.0f, 0);
    EXPECT_EQ(Pixel(19, 9), Rgba(0xFF112233));
}

TEST_F(GpuDeviceTest, EveryEntryPointIsCountedAndEveryCallReachesGl) {
    device_->ResetCallCounts();
    const std::uint64_t glBefore = GpuDevice::GlCallCount();
    device_->SetRenderState(kRsZFunc, kCmpLessEqual);
    device_->SetRenderState(kRsZFunc, kCmpLessEqual);
    EXPECT_EQ(device_->CallCount(GpuCall::SetRenderState), 2u);
    EXPECT_GE(GpuDevice::GlCallCount(), glBefore + 2);
    device_->SetSamplerState(0, kSampMagFilter, kFilterLinear);
    device_->SetTexture(0, nullptr);
    device_->SetStreamSourceFreq(0, 1);
    EXPECT_EQ(device_->TotalCallCount(), 5u);
    EXPECT_EQ(device_->SetRenderState(kRenderStateCount, 0), kGpuInvalidCall);
    EXPECT_EQ(device_->SetSamplerState(kSamplerStages, kSampMagFilter, 0), kGpuInvalidCall);
}

TEST_F(GpuDeviceTest, ScenesPairUp) {
    EXPECT_EQ(device_->EndScene(), kGpuInvalidCall);
    EXPECT_EQ(device_->BeginScene(), kGpuOk);
    EXPECT_EQ(device_->BeginScene(), kGpuInvalidCall);
    EXPECT_EQ(device_->EndScene(), kGpuOk);
}

TEST_F(GpuDeviceTest, ObjectsOutlivingTheDeviceLoseOnlyTheirGlNames) {
    GpuTexture* texture = device_->CreateTexture(4, 4, 1, 0, kFmtA8R8G8B8, kPoolManaged);
    GpuVertexBuffer* buffer = device_->CreateVertexBuffer(64, 0, kPoolManaged);
    ASSERT_TRUE(texture != nullptr && buffer != nullptr);
    device_->SetTexture(0, texture);
    device_.reset();
    GpuLockedRect locked;
    EXPECT_EQ(texture->LockRect(0, locked, nullptr, 0), kGpuOk);
    EXPECT_EQ(texture->UnlockRect(0), kGpuOk);
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(buffer->Release(), 0u);
}

}  // namespace
