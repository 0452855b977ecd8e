#pragma once
// The engine root made over the shared test window with the real graphics device service: the hooks cleared and
// the device hooks installed before each test (a test installs the further services it needs), the engine
// deleted, the hooks cleared and the test window's context made current again after it.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/platform/engine_event_drain.h"
#include "engine/platform/engine_hooks.h"
#include "engine/platform/engine_root.h"
#include "engine/platform/startup_params.h"
#include "engine/platform/windows_engine.h"
#include "engine/render/graphics_device_hooks.h"
#include "support/gl_test_environment.h"
#include "sys/gpu_test_hooks.h"

namespace rendertest {

class EngineServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testsupport::GlEnvironment().Ready());
        engine::ClearEngineHooks();
        sys::ResetGpuHooks();
        engine::InstallGraphicsDeviceHooks();
    }
    void TearDown() override {
        delete engine::GetEngine();
        engine::ClearEngineHooks();
        sys::ResetGpuHooks();
        testsupport::GlEnvironment().MakeCurrent();
    }

    // A windowed start-up record of the size, with a caption.
    static engine::StartupParams WindowedRecord(const std::string& title, int width, int height) {
        engine::StartupParams record;
        record.title = title;
        record.windowed = 1;
        record.width = width;
        record.height = height;
        record.captioned = 1;
        return record;
    }

    // The codes of every event waiting in the engine's queue, which is left empty.
    static std::vector<int> DrainEvents() { return platformtest::DrainEngineEvents(); }
};

}  // namespace rendertest
