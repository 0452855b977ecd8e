#pragma once
// A fixture for engine tests: a user folder of its own (XDG_DATA_HOME for the test's life), recording fake
// hooks, an empty event queue, and the engine deleted after the test.
#include <gtest/gtest.h>

#include "engine/core/event_queue.h"
#include "engine/platform/engine_root.h"
#include "engine_event_drain.h"
#include "fake_engine_hooks.h"
#include "scoped_env.h"
#include "support/temp_folder.h"
#include "sys/gl_window.h"

namespace testsupport {

// Holds a hidden GL window open until the process ends. Engines make and destroy their own contexts; without
// a context that outlives them the GL driver is unloaded with the last one, and the driver's allocations
// kept until exit could no longer be matched by name by the leak checker's suppressions.
inline void KeepGlDriverLoaded() {
    static sys::GlWindow* const window = [] {
        auto* opened = new sys::GlWindow();
        sys::GlWindowDesc desc;
        desc.title = "driver keeper";
        desc.hidden = true;
        if (opened->Open(desc)) sys::QueryGlContext();
        return opened;
    }();
    (void)window;
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        KeepGlDriverLoaded();
        engine::ClearEngineHooks();
        DrainEngineEvents();
    }

    void TearDown() override {
        delete engine::GetEngine();
        engine::ClearEngineHooks();
    }

    // A windowed 960 x 640 record with a caption, as the program entry fills it on a 1024-pixel desktop.
    static engine::StartupParams WindowedRecord() {
        engine::StartupParams record;
        record.title = "Tinmarch";
        record.makerName = "Ostrel";
        record.windowed = 1;
        record.width = 960;
        record.height = 640;
        record.captioned = 1;
        record.animatedMeshPicking = 1;
        record.cullMargin = 2.0f;
        return record;
    }

    // The codes of every event waiting in the engine's queue, which is left empty.
    static std::vector<int> DrainEngineEvents() { return platformtest::DrainEngineEvents(); }

    std::string LockPath() const { return folder.File("Tinmarch/instance.lock"); }

    TempFolder folder;
    platformtest::ScopedEnv dataHome{"XDG_DATA_HOME", folder.Path().c_str()};
    FakeEngineHooks fakes;
};

}  // namespace testsupport
