// The shader managers installed as the engine root's shaders service, together with the device service.
#include <functional>
#include <string>
#include <vector>

#include "engine/core/event_queue.h"
#include "engine/platform/engine_hooks.h"
#include "engine/platform/scoped_env.h"
#include "engine/platform/windows_engine.h"
#include "engine/render/graphics_device_hooks.h"
#include "engine/render/shader_manager_hooks.h"
#include "engine_service_fixture.h"
#include "render_test_fixture.h"
#include "support/temp_folder.h"

namespace {

using engine::GetGraphicsDevice;
using engine::GetShaderConstantCache;
using engine::GetShaderTextBuffer;

// What exists when a hook runs: c = constant cache, t = text buffer, d = device.
std::string Present() {
    std::string made;
    if (GetShaderConstantCache() != nullptr) made += "c";
    if (GetShaderTextBuffer() != nullptr) made += "t";
    if (GetGraphicsDevice() != nullptr) made += "d";
    return made.empty() ? "-" : made;
}

class EngineShaderHooksTest : public rendertest::EngineServiceTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(EngineServiceTest::SetUp());
        engine::InstallShaderManagerHooks();
        // Each hook of interest logs what exists before and after it runs.
        engine::ShaderHooks shaders = engine::GetEngineHooks().shaders;
        engine::DeviceHooks device = engine::GetEngineHooks().device;
        engine::InstallShaderHooks(engine::ShaderHooks{
            [this, create = shaders.create] { return Logged("shaders.create", create); },
            [this, destroy = shaders.destroy] { Logged("shaders.destroy", destroy); }});
        device.create = [this, create = device.create](engine::WindowsEngine& e) {
            return Logged("device.create", std::function<bool()>([&] { return create(e); }));
        };
        device.deleteDevice = [this, remove = device.deleteDevice] { Logged("device.deleteDevice", remove); };
        engine::InstallDeviceHooks(device);
        DrainEvents();
    }

    bool Logged(const std::string& name, const std::function<bool()>& hook) {
        const std::string before = Present();
        const bool result = hook();
        log.push_back(name + " " + before + ">" + Present());
        return result;
    }
    void Logged(const std::string& name, const std::function<void()>& hook) {
        const std::string before = Present();
        hook();
        log.push_back(name + " " + before + ">" + Present());
    }

    static engine::StartupParams Record() { return WindowedRecord("Tinmarch shader hooks test", 64, 48); }

    std::vector<std::string> log;
    testsupport::TempFolder folder_;
    platformtest::ScopedEnv dataHome_{"XDG_DATA_HOME", folder_.Path().c_str()};
    platformtest::ScopedEnv cacheHome_{"XDG_CACHE_HOME", folder_.Path().c_str()};
};

TEST_F(EngineShaderHooksTest, TheManagersAreMadeBeforeTheDeviceAndDeletedBeforeIt) {
    engine::Engine* made = engine::CreateEngine(Record());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"shaders.create ->ct", "device.create ct>ctd"}));

    // The managers draw on the engine's device: a coloured line through the constant cache's matrices.
    engine::GraphicsDevice* device = GetGraphicsDevice();
    engine::Matrix44 projection;
    projection.m[0][0] = 2.0f / 64;
    projection.m[1][1] = -2.0f / 48;
    projection.m[3][0] = -1.0f;
    projection.m[3][1] = 1.0f;
    GetShaderConstantCache()->SetMatrix(projection, 0);
    GetShaderConstantCache()->SetMatrix(engine::Matrix44(), 8);
    const engine::ColouredVertex line[2] = {{4, 10, 0.5f, 0xFF00FF00}, {60, 10, 0.5f, 0xFF00FF00}};
    device->DrawVertexColoured(line, 2);
    std::vector<std::uint8_t> pixels;
    ASSERT_TRUE(device->Device()->ReadSurfaceRgba8(device->BackBufferSurface(), pixels));
    const std::size_t at = (10u * 64u + 30u) * 4u;
    EXPECT_EQ((std::array<int, 4>{pixels[at], pixels[at + 1], pixels[at + 2], pixels[at + 3]}),
              rendertest::Rgba(0xFF00FF00));

    // The device's reset reaches the engine's constant cache.
    device->ResetStateCache();
    EXPECT_EQ(GetShaderConstantCache()->Current(), nullptr);
    EXPECT_EQ(GetShaderTextBuffer()->Current(), nullptr);
    device->Device()->ResetCallCounts();
    GetShaderConstantCache()->SetMatrix(engine::Matrix44(), 8);
    EXPECT_EQ(device->Device()->CallCount(sys::GpuCall::SetVertexShaderConstantF), 4u);

    // Each manager unbinds its shader (one counted request) as it is deleted.
    const engine::ShaderBindCounters before = engine::GetShaderBindCounters();
    log.clear();
    delete made;
    EXPECT_EQ(log, (std::vector<std::string>{"shaders.destroy ctd>d", "device.deleteDevice d>-"}));
    EXPECT_EQ(engine::GetShaderBindCounters().vertexRequests, before.vertexRequests + 1);
    EXPECT_EQ(engine::GetShaderBindCounters().pixelRequests, before.pixelRequests + 1);
}

TEST_F(EngineShaderHooksTest, AFailedDeviceLeavesTheManagersDeleted) {
    sys::GpuHooks().depthFormatAccepted = [](sys::GpuFormat) { return false; };
    EXPECT_EQ(engine::CreateEngine(Record()), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"shaders.create ->ct", "device.create ct>ct", "shaders.destroy ct>-"}));
    EXPECT_EQ(GetShaderConstantCache(), nullptr);
    EXPECT_EQ(GetShaderTextBuffer(), nullptr);
}

}  // namespace
