// Render targets as the engine root's service: "Main RT", the present step, window-size changes, dumps into
// the user folder and shutdown.
#include <SDL.h>

#include <filesystem>

#include "engine/core/event_queue.h"
#include "engine/platform/engine_hooks.h"
#include "engine/platform/scoped_env.h"
#include "engine/platform/windows_engine.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/quad_queue.h"
#include "engine/render/render_target_hooks.h"
#include "engine/render/shader_manager_hooks.h"
#include "engine/render/texture_table_hooks.h"
#include "engine/render_gl/engine_service_fixture.h"
#include "render_target_fixture.h"
#include "sys/app_window.h"

namespace {

using engine::RenderTarget;
using engine::WindowsEngine;

class EngineRenderTargetsTest : public rendertest::EngineServiceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(EngineServiceTest::SetUp());
        engine::InstallShaderManagerHooks();
        engine::InstallTextureTableHooks();
        engine::InstallRenderTargetHooks();
    }
    void TearDown() override {
        EngineServiceTest::TearDown();
        DrainEvents();
    }

    static WindowsEngine* Create() {
        return static_cast<WindowsEngine*>(engine::CreateEngine(WindowedRecord("Tinmarch targets", 96, 64)));
    }
    static std::vector<std::uint8_t> Picture(const RenderTarget& target) {
        std::vector<std::uint8_t> pixels;
        EXPECT_TRUE(target.Device()->Device()->ReadSurfaceRgba8(target.ColourSurface(target.CurrentIndex()), pixels));
        return pixels;
    }

    testsupport::TempFolder folder_;
    platformtest::ScopedEnv dataHome_{"XDG_DATA_HOME", folder_.Path().c_str()};
};

TEST_F(EngineRenderTargetsTest, TheFrameStepPresentsMainRT) {
    sys::GpuHooks().keepPresentedImage = true;
    WindowsEngine* made = Create();
    ASSERT_NE(made, nullptr);
    ASSERT_NE(engine::GetEngineDrawing2D(), nullptr);
    EXPECT_TRUE(engine::RegisteredRenderTargets().empty());
    RenderTarget* main = made->GetMainRenderTarget();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(made->GetMainRenderTarget(), main);
    EXPECT_TRUE(main->Name().EqualsNarrow("Main RT"));
    EXPECT_EQ(main->Kind(), engine::kTargetMain);
    EXPECT_EQ(main->Width(), 96);
    EXPECT_EQ(main->Height(), 64);
    EXPECT_NE(main->MultisampledSurface(), nullptr);
    EXPECT_EQ(engine::RegisteredRenderTargets(), std::vector<RenderTarget*>{main});

    // Four quadrants and a bar across them, drawn as the game draws its frames.
    const std::uint32_t colours[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u};
    main->Begin(0xFF000000u);
    main->FillRect({0, 0, 48, 32}, colours[0], 0);
    main->FillRect({48, 0, 48, 32}, colours[1], 0);
    main->FillRect({0, 32, 48, 32}, colours[2], 0);
    main->FillRect({48, 32, 48, 32}, colours[3], 0);
    main->FillRect({10, 28, 70, 8}, 0xFF808080u, 0);
    main->End();
    const std::vector<std::uint8_t> drawn = Picture(*main);
    const auto pixel = [&](int x, int y) { return targettest::PixelAt(drawn, 96, x, y); };
    EXPECT_EQ(pixel(20, 10), targettest::RgbaOf(colours[0]));
    EXPECT_EQ(pixel(70, 10), targettest::RgbaOf(colours[1]));
    EXPECT_EQ(pixel(20, 50), targettest::RgbaOf(colours[2]));
    EXPECT_EQ(pixel(70, 50), targettest::RgbaOf(colours[3]));
    EXPECT_EQ(pixel(40, 30), targettest::RgbaOf(0xFF808080u));

    ASSERT_EQ(made->FrameStep(), 1);
    const sys::GpuTestHooks& hooks = sys::GpuHooks();
    ASSERT_EQ(hooks.presentedWidth, 96);
    ASSERT_EQ(hooks.presentedHeight, 64);
    ASSERT_EQ(hooks.presentedImage.size(), drawn.size());
    for (std::size_t i = 0; i < drawn.size(); i += 4) {
        for (std::size_t c = 0; c < 3; ++c) {
            ASSERT_EQ(hooks.presentedImage[i + c], drawn[i + c]) << "pixel " << i / 4 << " channel " << c;
        }
    }

    delete made;
    EXPECT_TRUE(engine::RegisteredRenderTargets().empty());
    EXPECT_EQ(engine::GetEngineDrawing2D(), nullptr);
}

TEST_F(EngineRenderTargetsTest, AfterAWindowSizeChangeEveryTargetIsRebuiltAndMainRTTakesTheNewSize) {
    WindowsEngine* made = Create();
    ASSERT_NE(made, nullptr);
    RenderTarget* main = made->GetMainRenderTarget();
    ASSERT_NE(main, nullptr);
    const auto& create = engine::GetEngineHooks().renderTargets.create;
    std::vector<RenderTarget*> others;
    for (int i = 0; i < 19; ++i) {
        RenderTarget* target = create("Other RT", 16 + i, 8, engine::kTargetPlain);
        ASSERT_NE(target, nullptr);
        target->Begin(0xFF000000u);
        target->QueueGradientRect(1 + i % 8, {0, 0, 4, 4}, 0, 0, 0, 0, 0);
        others.push_back(target);
    }
    ASSERT_EQ(engine::RegisteredRenderTargets().size(), 20u);
    made->FrameStep();
    sys::GpuDevice* gpu = engine::GetGraphicsDevice()->Device();
    const std::uint64_t texturesBefore = gpu->CallCount(sys::GpuCall::CreateTexture);

    SDL_SetWindowSize(made->GetAppWindow().Handle(), 120, 80);
    ASSERT_EQ(made->FrameStep(), 1);
    ASSERT_EQ(made->GetBackBufferWidth(), 120);
    EXPECT_EQ(main->Width(), 120);
    EXPECT_EQ(main->Height(), made->GetBackBufferHeight());
    EXPECT_EQ(main->Target2D().invWidth, 1.0f / 120.0f);
    ASSERT_NE(main->ColourSurface(0), nullptr);
    EXPECT_EQ(main->ColourSurface(0)->GetDesc().width, 120u);
    ASSERT_NE(main->MultisampledSurface(), nullptr);
    EXPECT_EQ(main->MultisampledSurface()->GetDesc().width, 120u);
    for (std::size_t i = 0; i < others.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "target " << i);
        EXPECT_EQ(others[i]->Queue()->Count(1 + static_cast<int>(i) % 8), 0) << "restored";
        ASSERT_NE(others[i]->ColourSurface(1), nullptr);
        EXPECT_EQ(others[i]->ColourSurface(1)->GetDesc().width, 16u + i);
    }
    EXPECT_EQ(gpu->CallCount(sys::GpuCall::CreateTexture) - texturesBefore, 40u) << "two colour textures each";

    // The next frame draws the new picture over the whole resized back buffer. (The offscreen test window
    // keeps its first drawable, so the back buffer is looked at rather than the window.)
    main->Begin(0xFF336699u);
    main->End();
    engine::GraphicsDevice* device = engine::GetGraphicsDevice();
    device->ClearSurface(device->BackBufferSurface(), 0xFF000000u);
    ASSERT_EQ(made->FrameStep(), 1);
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(gpu->ReadSurfaceRgba8(device->BackBufferSurface(), back));
    EXPECT_EQ(back, Picture(*main));
    EXPECT_EQ(targettest::PixelAt(back, 120, 119, made->GetBackBufferHeight() - 1), targettest::RgbaOf(0xFF336699u));
}

TEST_F(EngineRenderTargetsTest, ScreenDumpsGoToTheUserFolderUnderTheWindowTitle) {
    WindowsEngine* made = Create();
    ASSERT_NE(made, nullptr);
    RenderTarget* main = made->GetMainRenderTarget();
    main->Begin(0xFF204060u);
    main->End();
    ASSERT_EQ(main->ScreenDump(), 1);
    EXPECT_TRUE(std::filesystem::exists(folder_.Path() / "Tinmarch" / "ScreenDumps" /
                                        "Tinmarch targets001.PNG"));
}

}  // namespace
