// The graphics device installed as the engine root's device service.
#include <SDL.h>

#include "engine/core/event_queue.h"
#include "engine/platform/engine_hooks.h"
#include "engine/platform/scoped_env.h"
#include "engine/platform/windows_engine.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/mesh_batch.h"
#include "engine_service_fixture.h"
#include "render_test_fixture.h"
#include "support/temp_folder.h"
#include "sys/app_window.h"

namespace {

using engine::GetGraphicsDevice;
using engine::WindowsEngine;
using rendertest::Rgba;

class EngineDeviceTest : public rendertest::EngineServiceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(EngineServiceTest::SetUp());
        Events();
    }

    static engine::StartupParams Record(bool windowed) {
        engine::StartupParams record = WindowedRecord("Tinmarch device test", 96, 64);
        record.windowed = windowed ? 1 : 0;
        return record;
    }
    static WindowsEngine* Create(const engine::StartupParams& record) {
        return static_cast<WindowsEngine*>(engine::CreateEngine(record));
    }
    static std::vector<int> Events() { return DrainEvents(); }
    static std::array<int, 4> BackBufferPixel(int x, int y) {
        engine::GraphicsDevice* device = GetGraphicsDevice();
        std::vector<std::uint8_t> pixels;
        EXPECT_TRUE(device->Device()->ReadSurfaceRgba8(device->BackBufferSurface(), pixels));
        const std::size_t at = (static_cast<std::size_t>(y) * device->BackBufferSurface()->GetDesc().width + x) * 4;
        return {pixels[at], pixels[at + 1], pixels[at + 2], pixels[at + 3]};
    }

    testsupport::TempFolder folder_;
    platformtest::ScopedEnv dataHome_{"XDG_DATA_HOME", folder_.Path().c_str()};
};

TEST_F(EngineDeviceTest, CreateEngineMakesTheDeviceAndFramesArePresentedTheRightWayUp) {
    sys::GpuHooks().keepPresentedImage = true;
    WindowsEngine* made = Create(Record(true));
    ASSERT_NE(made, nullptr);
    engine::GraphicsDevice* device = GetGraphicsDevice();
    ASSERT_NE(device, nullptr);
    EXPECT_TRUE(device->InScene());
    EXPECT_EQ(made->GetBackBufferWidth(), 96);
    EXPECT_EQ(made->GetBackBufferHeight(), 64);
    EXPECT_NE(engine::GetVertexDeclSet(), nullptr);
    EXPECT_NE(engine::GlobalDynamicVertexBuffer(), nullptr);
    EXPECT_EQ(device->Device()->CallCount(sys::GpuCall::Present), 1u) << "the first frame";
    EXPECT_EQ(BackBufferPixel(0, 0), Rgba(0xFF000000));
    EXPECT_EQ(BackBufferPixel(95, 63), Rgba(0xFF000000));

    const sys::GpuRect top = {0, 0, 96, 32};
    const sys::GpuRect bottom = {0, 32, 96, 64};
    device->Device()->Clear(1, &top, sys::kClearTarget, 0xFFFF0000, 1.0f, 0);
    device->Device()->Clear(1, &bottom, sys::kClearTarget, 0xFF0000FF, 1.0f, 0);
    const std::uint32_t presented = made->GetPresentedFrameCount();
    EXPECT_EQ(made->FrameStep(), 1);
    EXPECT_EQ(made->GetPresentedFrameCount(), presented + 1);
    EXPECT_TRUE(device->InScene());
    const sys::GpuTestHooks& hooks = sys::GpuHooks();
    ASSERT_GT(hooks.presentedHeight, 1);
    const std::size_t lastRow = static_cast<std::size_t>(hooks.presentedHeight - 1) * hooks.presentedWidth * 4;
    EXPECT_EQ(hooks.presentedImage[0], 255) << "the back buffer's top row is the window's top row";
    EXPECT_EQ(hooks.presentedImage[2], 0);
    EXPECT_EQ(hooks.presentedImage[lastRow], 0);
    EXPECT_EQ(hooks.presentedImage[lastRow + 2], 255);

    engine::PurgeResourceGroup(-1);
    EXPECT_EQ(engine::GlobalDynamicVertexBuffer()->Buffer(), nullptr);
    delete made;
    EXPECT_EQ(GetGraphicsDevice(), nullptr);
    EXPECT_EQ(engine::GetVertexDeclSet(), nullptr);
    EXPECT_EQ(engine::GlobalDynamicVertexBuffer(), nullptr);
}

TEST_F(EngineDeviceTest, AFullScreenStartWithoutAUsableModeRunsWindowed) {
    sys::GpuHooks().displayModes = std::vector<sys::GpuDisplayMode>{};
    WindowsEngine* made = Create(Record(false));
    ASSERT_NE(made, nullptr);
    EXPECT_FALSE(made->IsFullScreen());
    EXPECT_EQ(GetGraphicsDevice()->PresentParameters().windowed, 1);
    EXPECT_EQ(made->GetBackBufferWidth(), 96);
    EXPECT_EQ(made->FrameStep(), 1);
}

TEST_F(EngineDeviceTest, WithoutADepthFormatCreateEngineFailsCleanly) {
    sys::GpuHooks().depthFormatAccepted = [](sys::GpuFormat) { return false; };
    EXPECT_EQ(Create(Record(true)), nullptr);
    EXPECT_EQ(engine::GetEngine(), nullptr);
    EXPECT_EQ(GetGraphicsDevice(), nullptr);
    EXPECT_EQ(engine::GlobalDynamicVertexBuffer(), nullptr);
}

TEST_F(EngineDeviceTest, ThePresentStepRecoversAsTheDeviceReports) {
    WindowsEngine* made = Create(Record(true));
    ASSERT_NE(made, nullptr);
    Events();
    // Not reset: reset and restored within the frame.
    sys::GpuHooks().loss = sys::GpuLossState::NotReset;
    EXPECT_EQ(made->FrameStep(), 1);
    EXPECT_FALSE(GetGraphicsDevice()->IsLost());
    EXPECT_EQ(Events(), std::vector<int>{engine::kEventDeviceReset});
    // Lost: the lost state, and no frame until the device is back.
    sys::GpuHooks().loss = sys::GpuLossState::Lost;
    EXPECT_EQ(made->FrameStep(), 0);
    EXPECT_TRUE(GetGraphicsDevice()->IsLost());
    EXPECT_EQ(made->FrameStep(), 0);
    EXPECT_TRUE(Events().empty());
}

TEST_F(EngineDeviceTest, AWindowResizedFromOutsideGetsItsBackBufferInPlace) {
    WindowsEngine* made = Create(Record(true));
    ASSERT_NE(made, nullptr);
    made->FrameStep();
    int x = 0;
    int y = 0;
    made->GetAppWindow().GetPosition(x, y);
    SDL_SetWindowSize(made->GetAppWindow().Handle(), 120, 80);
    EXPECT_EQ(made->FrameStep(), 1);
    int width = 0;
    int height = 0;
    made->GetAppWindow().GetDrawableSize(width, height);
    ASSERT_EQ(width, 120);
    EXPECT_EQ(made->GetBackBufferWidth(), 120);
    EXPECT_EQ(made->GetBackBufferHeight(), height);
    EXPECT_EQ(GetGraphicsDevice()->BackBufferSurface()->GetDesc().width, 120u);
    int afterX = 0;
    int afterY = 0;
    made->GetAppWindow().GetPosition(afterX, afterY);
    EXPECT_EQ(afterX, x);
    EXPECT_EQ(afterY, y);
}

TEST_F(EngineDeviceTest, ToggleFullScreenTakesTheModeNearestTheDesktop) {
    const int desktopWidth = sys::GetDesktopWidth();
    const int desktopHeight = sys::GetDesktopHeight();
    sys::GpuHooks().displayModes = std::vector<sys::GpuDisplayMode>{
        {640, 480, 60, sys::kFmtX8R8G8B8},
        {static_cast<std::uint32_t>(desktopWidth), static_cast<std::uint32_t>(desktopHeight), 60, sys::kFmtX8R8G8B8}};
    WindowsEngine* made = Create(Record(true));
    ASSERT_NE(made, nullptr);
    made->ToggleFullScreen();
    const sys::GpuPresentParameters& params = GetGraphicsDevice()->PresentParameters();
    EXPECT_EQ(params.windowed, 0);
    EXPECT_EQ(params.backBufferWidth, static_cast<std::uint32_t>(desktopWidth));
    EXPECT_EQ(made->GetBackBufferWidth(), desktopWidth);
    EXPECT_EQ(made->FrameStep(), 1);
    made->ToggleFullScreen();
    EXPECT_EQ(GetGraphicsDevice()->PresentParameters().windowed, 1);
    EXPECT_EQ(made->GetBackBufferWidth(), 96);
    EXPECT_EQ(made->FrameStep(), 1);
}

TEST_F(EngineDeviceTest, BatchDrawsCountIntoTheEngineFrameCountersThatTheFrameStepClears) {
    WindowsEngine* made = Create(Record(true));
    ASSERT_NE(made, nullptr);
    engine::GraphicsDevice* device = GetGraphicsDevice();
    sys::GpuVertexBuffer* vertices = device->Device()->CreateVertexBuffer(32 * 7, 0, sys::kPoolManaged);
    sys::GpuIndexBuffer* indices = device->Device()->CreateIndexBuffer(4, 0, sys::kFmtIndex16, sys::kPoolManaged);
    ASSERT_TRUE(vertices != nullptr && indices != nullptr);
    // Two indices make no triangle: nothing is drawn, the vertices still count.
    engine::MeshBatch batch;
    batch.vertexBuffer = vertices;
    batch.indexBuffer = indices;
    batch.vertexCount = 7;
    batch.indexCount = 2;
    device->DrawIndexedBatch({}, batch);
    EXPECT_EQ(made->FrameCounters()[engine::kFrameVertices], 7u);
    EXPECT_EQ(made->FrameCounters()[engine::kFrameBatches], 0u);
    EXPECT_EQ(made->FrameStep(), 1);
    EXPECT_EQ(device->FrameCount(engine::kFrameVertices), 0u);
    vertices->Release();
    indices->Release();
}

}  // namespace
