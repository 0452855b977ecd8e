// The engine's graphics device: start-up, display modes, depth formats, frames and surface clears.
#include "render_test_fixture.h"

namespace {

using engine::DisplayMode;
using engine::DisplayModeList;
using rendertest::GraphicsDeviceTest;
using rendertest::Rgba;

std::vector<sys::GpuDisplayMode> FakeModes() {
    return {{640, 480, 75, sys::kFmtX8R8G8B8}, {800, 600, 60, sys::kFmtX8R8G8B8}, {640, 480, 60, sys::kFmtX8R8G8B8},
            {800, 600, 85, sys::kFmtX8R8G8B8}, {1024, 768, 70, sys::kFmtX8R8G8B8}, {640, 480, 50, sys::kFmtX8R8G8B8}};
}

TEST_F(GraphicsDeviceTest, AWindowedStartOpensASceneAndPresentsABlackFrame) {
    sys::GpuHooks().keepPresentedImage = true;
    Create();
    EXPECT_TRUE(device_->InScene());
    EXPECT_FALSE(host_.fullScreen);
    EXPECT_EQ(sys::GpuHooks().modeListReads, 0) << "a windowed start never enumerates";
    EXPECT_EQ(device_->PresentParameters().presentationInterval, sys::kPresentIntervalImmediate);
    EXPECT_EQ(device_->PresentParameters().windowed, 1);
    EXPECT_EQ(device_->PresentParameters().autoDepthStencilFormat, sys::kFmtD24S8);
    EXPECT_EQ(host_.screenWidth, kWidth);
    EXPECT_EQ(host_.screenHeight, kHeight);
    ASSERT_EQ(host_.sizeMessages.size(), 1u);
    EXPECT_EQ(host_.sizeMessages[0], (std::array<int, 2>{kWidth, kHeight}));
    EXPECT_EQ(Gpu().CallCount(sys::GpuCall::Present), 1u);
    EXPECT_EQ(Pixel(0, 0), Rgba(0xFF000000));
    EXPECT_EQ(Pixel(kWidth - 1, kHeight - 1), Rgba(0xFF000000));
    EXPECT_FALSE(sys::GpuHooks().presentedImage.empty());
    EXPECT_EQ(sys::GpuHooks().presentedImage[3], 255);
    EXPECT_STREQ(device_->VertexShaderProfile(), "vs_3_0");
    EXPECT_TRUE(device_->IsShaderModel3());
    EXPECT_EQ(device_->GetShaderModel(), 3);
    EXPECT_TRUE(device_->HasMoreThan64ShaderSlots());
    EXPECT_TRUE(device_->HasMoreThan256ShaderSlots());
}

TEST_F(GraphicsDeviceTest, AFullScreenStartTakesTheModeNearestTheDesktop) {
    sys::GpuHooks().displayModes = FakeModes();
    settings_.windowed = false;
    host_.desktopWidth = 810;
    host_.desktopHeight = 590;
    Create();
    EXPECT_TRUE(host_.fullScreen);
    const sys::GpuPresentParameters& params = device_->PresentParameters();
    EXPECT_EQ(params.backBufferWidth, 800u);
    EXPECT_EQ(params.backBufferHeight, 600u);
    EXPECT_EQ(params.windowed, 0);
    EXPECT_EQ(params.fullScreenRefreshRateInHz, 60u);
    EXPECT_EQ(params.presentationInterval, sys::kPresentIntervalOne);
    EXPECT_EQ(host_.screenWidth, 800);
}

TEST_F(GraphicsDeviceTest, AFullScreenStartWithoutModesStartsWindowed) {
    sys::GpuHooks().displayModes = std::vector<sys::GpuDisplayMode>{};
    settings_.windowed = false;
    Create();
    EXPECT_FALSE(host_.fullScreen);
    EXPECT_EQ(device_->PresentParameters().windowed, 1);
    EXPECT_EQ(device_->PresentParameters().backBufferWidth, static_cast<std::uint32_t>(kWidth));
}

TEST_F(GraphicsDeviceTest, DisplayModeFailuresHaveTheirResults) {
    // No depth format: no device at all.
    sys::GpuHooks().depthFormatAccepted = [](sys::GpuFormat) { return false; };
    engine::GraphicsDevice noDepth(host_, settings_);
    EXPECT_FALSE(noDepth.HasDevice());
    EXPECT_EQ(noDepth.SetDisplayMode({0, kWidth, kHeight, 0}), engine::kDisplayModeNoDepthFormat);
    sys::ResetGpuHooks();

    // One refused creation is retried; two are not.
    sys::GpuHooks().FailNext(sys::GpuCreateKind::Device, 1);
    engine::GraphicsDevice retried(host_, settings_);
    EXPECT_TRUE(retried.HasDevice());
    sys::GpuHooks().FailNext(sys::GpuCreateKind::Device, 2);
    engine::GraphicsDevice refused(host_, settings_);
    EXPECT_FALSE(refused.HasDevice());
    EXPECT_EQ(refused.SetDisplayMode({0, kWidth, kHeight, 0}), engine::kDisplayModeOk);
    EXPECT_TRUE(refused.HasDevice());

    sys::GpuHooks().desktopModeFails = true;
    EXPECT_EQ(refused.SetDisplayMode({0, kWidth, kHeight, 0}), engine::kDisplayModeNoAdapterMode);
    EXPECT_EQ(refused.SetDisplayMode({sys::kFmtX8R8G8B8, kWidth, kHeight, 0}), engine::kDisplayModeOk);

    sys::GpuHooks().FailNext(sys::GpuCreateKind::Adapter);
    engine::GraphicsDevice noAdapter(host_, settings_);
    EXPECT_FALSE(noAdapter.HasDevice());
    DisplayModeList list;
    EXPECT_FALSE(noAdapter.EnumDisplayModes(list));
}

TEST_F(GraphicsDeviceTest, TheDepthFormatIsTheFirstThatPasses) {
    const struct {
        std::vector<sys::GpuFormat> accepted;
        sys::GpuFormat chosen;
    } cases[] = {{{sys::kFmtD16, sys::kFmtD24X8, sys::kFmtD24S8}, sys::kFmtD24S8},
                 {{sys::kFmtD16, sys::kFmtD32, sys::kFmtD24X8}, sys::kFmtD32},
                 {{sys::kFmtD16, sys::kFmtD24X8}, sys::kFmtD24X8},
                 {{sys::kFmtD16}, sys::kFmtD16}};
    Create();
    for (const auto& test : cases) {
        sys::GpuHooks().depthFormatAccepted = [&](sys::GpuFormat format) {
            return std::find(test.accepted.begin(), test.accepted.end(), format) != test.accepted.end();
        };
        EXPECT_EQ(device_->ChooseDepthFormat(), engine::kDisplayModeOk);
        EXPECT_EQ(device_->PresentParameters().autoDepthStencilFormat, test.chosen);
    }
}

TEST_F(GraphicsDeviceTest, EnumeratedModesFollowBothListRules) {
    sys::GpuHooks().displayModes = FakeModes();
    Create();
    DisplayModeList list;
    ASSERT_TRUE(device_->EnumDisplayModes(list));
    ASSERT_EQ(list.listA.count, 3);
    EXPECT_EQ(list.listA.entries[0].refreshRate, 60);  // 75 first, replaced by 60; 50 is not above 50
    EXPECT_EQ(list.listA.entries[1].refreshRate, 60);
    EXPECT_EQ(list.listB.entries[0].refreshRate, 75);
    EXPECT_EQ(list.listB.entries[1].refreshRate, 85);
    EXPECT_EQ(list.listA.entries[2].width, 1024);
    EXPECT_EQ(list.listA.entries[0].format, static_cast<std::uint32_t>(sys::kFmtX8R8G8B8));
}

TEST_F(GraphicsDeviceTest, ANewDisplaySizeRebuildsTheBackBufferThroughTheResetHooks) {
    Create();
    std::vector<int> calls;
    device_->AddResetHook([&](bool release) { calls.push_back(release ? 1 : 0); });
    host_.sizeMessages.clear();
    ASSERT_EQ(device_->SetDisplayMode({0, 40, 30, 0}), engine::kDisplayModeOk);
    EXPECT_EQ(calls, (std::vector<int>{1, 0}));
    EXPECT_EQ(device_->BackBufferSurface()->GetDesc().width, 40u);
    EXPECT_EQ(device_->BackBufferSurface()->GetDesc().height, 30u);
    EXPECT_EQ(host_.screenWidth, 40);
    EXPECT_FALSE(host_.sizeMessages.empty());
    EXPECT_EQ(host_.sizeMessages.back(), (std::array<int, 2>{40, 30}));
    EXPECT_TRUE(device_->InScene());
    EXPECT_FALSE(device_->IsLost());
    device_->Flip(false);
    EXPECT_EQ(Pixel(39, 29), Rgba(0xFF000000));
}

TEST_F(GraphicsDeviceTest, ClearSurfaceClearsOutsideTheCurrentTargetAndRestoresIt) {
    Create();
    sys::GpuTexture* texture =
        Gpu().CreateTexture(8, 8, 1, sys::kUsageRenderTarget, sys::kFmtA8R8G8B8, sys::kPoolDefault);
    sys::GpuSurface* surface = texture->GetSurfaceLevel(0);
    sys::GpuViewport part;
    part.x = 2;
    part.width = 5;
    part.height = 5;
    Gpu().SetViewport(part);
    device_->ClearSurface(surface, 0xFF203040);
    EXPECT_EQ(Pixel(7, 7, surface), Rgba(0xFF203040));
    sys::GpuSurface* target = Gpu().GetRenderTarget(0);
    EXPECT_EQ(target, device_->BackBufferSurface());
    target->Release();
    EXPECT_EQ(Gpu().GetViewport().x, 2u);
    EXPECT_EQ(Gpu().GetViewport().width, 5u);

    // The depth surface is cleared to 1 whatever the depth write state.
    device_->SetDepthMode(true, false, false);
    sys::GpuSurface* depth = Gpu().CreateDepthStencilSurface(64, 64, sys::kFmtD24S8, 0);
    Gpu().SetDepthStencilSurface(depth);
    Gpu().Clear(0, nullptr, sys::kClearZBuffer, 0, 0.0f, 0);
    device_->ClearSurface(depth, 0);
    std::vector<float> values;
    ASSERT_TRUE(Gpu().ReadSurfaceFloats(depth, values));
    EXPECT_FLOAT_EQ(values.front(), 1.0f);
    EXPECT_FLOAT_EQ(values.back(), 1.0f);

    // A managed texture's level is zero-filled.
    sys::GpuTexture* managed = Gpu().CreateTexture(4, 4, 1, 0, sys::kFmtA8R8G8B8, sys::kPoolManaged);
    sys::GpuSurface* level = managed->GetSurfaceLevel(0);
    sys::GpuLockedRect locked;
    ASSERT_EQ(level->LockRect(locked, nullptr, 0), sys::kGpuOk);
    static_cast<std::uint32_t*>(locked.bits)[5] = 0xFFFFFFFF;
    level->UnlockRect();
    device_->ClearSurface(level, 0xFFFFFFFF);
    ASSERT_EQ(level->LockRect(locked, nullptr, sys::kLockReadOnly), sys::kGpuOk);
    EXPECT_EQ(static_cast<std::uint32_t*>(locked.bits)[5], 0u);
    level->UnlockRect();
    for (sys::GpuSurface* s : {surface, depth, level}) s->Release();
    texture->Release();
    managed->Release();
}

TEST_F(GraphicsDeviceTest, SharedSurfacesAreMadeOnceAtTheirSizes) {
    Create();
    sys::GpuSurface* shadow = device_->GetShadowDepthSurface();
    ASSERT_NE(shadow, nullptr);
    EXPECT_EQ(shadow->GetDesc().width, 2048u);
    EXPECT_EQ(device_->GetShadowDepthSurface(), shadow);
    sys::GpuTexture* half = device_->GetHalfScreenTexture(1);
    ASSERT_NE(half, nullptr);
    sys::GpuSurfaceDesc desc;
    half->GetLevelDesc(0, desc);
    EXPECT_EQ(desc.width, static_cast<std::uint32_t>(kWidth / 2));
    EXPECT_EQ(desc.height, static_cast<std::uint32_t>(kHeight / 2));
    EXPECT_EQ(desc.usage, static_cast<std::uint32_t>(sys::kUsageRenderTarget));
    EXPECT_EQ(device_->GetHalfScreenTexture(1), half);
    EXPECT_EQ(device_->GetHalfScreenTexture(2), nullptr);
    device_->RefreshBackBufferSurfaces(true);
    EXPECT_EQ(device_->BackBufferSurface(), nullptr);
    device_->RefreshBackBufferSurfaces(false);
    EXPECT_NE(device_->BackBufferSurface(), nullptr);
    EXPECT_NE(device_->GetHalfScreenTexture(1), nullptr);
}

}  // namespace
