#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/core/frame_timer.h"
#include "engine/core/random_streams.h"
#include "engine/core/string_pool.h"
#include "engine/core/wide_string.h"
#include "engine/platform/audio_hooks.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/save_store.h"
#include "engine/platform/voice_scheduler.h"
#include "engine/platform/windows_engine.h"
#include "engine_fixture.h"
#include "sys/app_window.h"
#include "sys/instance_lock.h"

namespace {

using engine::CreateEngine;
using engine::Engine;
using engine::GetEngine;
using engine::WindowsEngine;
using testsupport::EngineTest;

using Log = std::vector<std::string>;

const Log kCreationHooks = {
    "shaders.create",          "device.create",  "device.initDynamicVertexBuffers", "renderTargets.clearRegistry",
    "textures.init",           "materials.initLibrary", "models.init",              "materials.createManager",
    "audio.create",            "overlay.clear",  "gui.init",                        "models.createCollisionAssets",
};

const Log kShutdownHooks = {
    "materials.purge -1",      "models.purge -1",         "textures.purge -1",
    "device.releaseDynamicVertexBuffers",                 "textures.freeTable",
    "materials.freeTable",     "models.freeTable",        "models.freeStaticBuffers",
    "renderTargets.deleteAll", "device.deleteDynamicVertexBuffer", "gui.freeNavigationKeys",
    "materials.deleteManager", "shaders.destroy",         "device.deleteVertexDecls",
    "audio.destroy",           "overlay.clear",           "device.deleteDevice",
};

// The creating hook whose success each shutdown hook depends on.
const std::map<std::string, std::string> kMadeBy = {
    {"materials.purge -1", "materials.initLibrary"},
    {"models.purge -1", "models.init"},
    {"textures.purge -1", "textures.init"},
    {"device.releaseDynamicVertexBuffers", "device.initDynamicVertexBuffers"},
    {"textures.freeTable", "textures.init"},
    {"materials.freeTable", "materials.initLibrary"},
    {"models.freeTable", "models.init"},
    {"models.freeStaticBuffers", "models.init"},
    {"renderTargets.deleteAll", "renderTargets.clearRegistry"},
    {"device.deleteDynamicVertexBuffer", "device.initDynamicVertexBuffers"},
    {"gui.freeNavigationKeys", "gui.init"},
    {"materials.deleteManager", "materials.createManager"},
    {"shaders.destroy", "shaders.create"},
    {"device.deleteVertexDecls", "device.create"},
    {"audio.destroy", "audio.create"},
    {"overlay.clear", "overlay.clear"},
    {"device.deleteDevice", "device.create"},
};

class EngineRoot : public EngineTest {};

TEST_F(EngineRoot, CreationAndShutdownRunInOrder) {
    fakes.Install();
    engine::StartupParams record = WindowedRecord();
    record.materialTableSize = 300;
    Engine* made = CreateEngine(record);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(GetEngine(), made);
    EXPECT_EQ(fakes.log, kCreationHooks);
    EXPECT_EQ(fakes.tableSizes, (std::vector<int>{1024, 300, 1024}));

    EXPECT_NE(made->GetTimer(), nullptr);
    EXPECT_NE(made->GetArchiveSet(), nullptr);
    EXPECT_NE(made->GetInputDevice(0), nullptr);
    EXPECT_NE(made->GetLanguage(), nullptr);
    EXPECT_NE(engine::RandomStreams::Get(), nullptr);
    EXPECT_TRUE(engine::GetTextWorkString().IsEmpty());
    EXPECT_GE(engine::GetTextWorkString().Capacity(), 4096u);
    ASSERT_NE(engine::StringPool::Global(), nullptr);
    EXPECT_TRUE(engine::StringPool::Global()->HasMemory());
    EXPECT_EQ(made->GetBackBufferWidth(), 960);
    EXPECT_EQ(made->GetBackBufferHeight(), 640);
    // Data from the executable's folder, through the engine's archives; saves in the user folder.
    EXPECT_EQ(engine::GetActiveArchiveSet(), made->GetArchiveSet());
    EXPECT_EQ(engine::GetBaseFolderNarrow(),
              std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/");
    ASSERT_NE(made->GetSaveStore(), nullptr);
    EXPECT_EQ(made->GetSaveStore()->Folder(), folder.File("Tinmarch"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "Tinmarch"));
    EXPECT_NE(made->GetSaveBlob(), nullptr);
    EXPECT_TRUE(std::filesystem::exists(LockPath()));

    fakes.log.clear();
    delete made;
    EXPECT_EQ(fakes.log, kShutdownHooks);
    EXPECT_EQ(GetEngine(), nullptr);
    EXPECT_EQ(engine::RandomStreams::Get(), nullptr);
    EXPECT_FALSE(engine::StringPool::Global()->HasMemory());
    EXPECT_EQ(engine::GetActiveArchiveSet(), nullptr);
}

TEST_F(EngineRoot, SecondCreateReturnsTheSameEngineAndKeepsTheRecord) {
    fakes.Install();
    Engine* first = CreateEngine(WindowedRecord());
    ASSERT_NE(first, nullptr);
    const std::size_t calls = fakes.log.size();

    engine::StartupParams other = WindowedRecord();
    other.title = "Other";
    other.width = 100;
    EXPECT_EQ(CreateEngine(other), first);
    EXPECT_EQ(fakes.log.size(), calls);
    EXPECT_EQ(engine::GetStartupParams().title, "Tinmarch");
    EXPECT_EQ(engine::GetStartupParams().width, 960);

    delete first;
    ASSERT_EQ(GetEngine(), nullptr);
    Engine* second = CreateEngine(other);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetEngine(), second);
    EXPECT_EQ(engine::GetStartupParams().title, "Other");
    // The string pool closed by the first engine is open again.
    EXPECT_TRUE(engine::StringPool::Global()->HasMemory());
}

TEST_F(EngineRoot, LockHeldElsewhereRefusesToStart) {
    std::filesystem::create_directories(folder.Path() / "Tinmarch");
    sys::InstanceLock other;
    ASSERT_EQ(other.Acquire(LockPath()), sys::InstanceLock::Result::kAcquired);
    fakes.Install();

    EXPECT_EQ(CreateEngine(WindowedRecord()), nullptr);
    EXPECT_EQ(GetEngine(), nullptr);
    EXPECT_EQ(engine::GetCreateEngineFailure(), engine::CreateEngineFailure::kInstanceLocked);
    EXPECT_TRUE(fakes.log.empty());
    EXPECT_EQ(engine::RandomStreams::Get(), nullptr);

    other.Release();
    auto* made = static_cast<WindowsEngine*>(CreateEngine(WindowedRecord()));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(engine::GetCreateEngineFailure(), engine::CreateEngineFailure::kNone);
    EXPECT_TRUE(made->HoldsInstanceLock());
    sys::InstanceLock third;
    EXPECT_EQ(third.Acquire(LockPath()), sys::InstanceLock::Result::kHeldElsewhere);
    delete made;
    EXPECT_EQ(third.Acquire(LockPath()), sys::InstanceLock::Result::kAcquired);
}

TEST_F(EngineRoot, UnusableUserFolderStartsWithoutTheCheck) {
    // A file where the user folder should be: no folder, no lock file, and the program starts anyway.
    ASSERT_TRUE(folder.Write("Tinmarch", "x", 1));
    Engine* made = CreateEngine(WindowedRecord());
    ASSERT_NE(made, nullptr);
    EXPECT_FALSE(static_cast<WindowsEngine*>(made)->HoldsInstanceLock());
}

TEST_F(EngineRoot, FailingHookTearsDownWhatWasMadeInShutdownOrder) {
    for (const std::string& failing : kCreationHooks) {
        if (failing == "renderTargets.clearRegistry" || failing == "overlay.clear") continue;
        SCOPED_TRACE(failing);
        fakes = testsupport::FakeEngineHooks();
        fakes.failAt = failing;
        fakes.Install();

        EXPECT_EQ(CreateEngine(WindowedRecord()), nullptr);
        EXPECT_EQ(GetEngine(), nullptr);
        EXPECT_EQ(engine::GetCreateEngineFailure(), engine::CreateEngineFailure::kService);
        EXPECT_EQ(engine::RandomStreams::Get(), nullptr);

        Log expected;
        std::vector<std::string> made;
        for (const std::string& step : kCreationHooks) {
            expected.push_back(step);
            if (step == failing) break;
            made.push_back(step);
        }
        for (const std::string& step : kShutdownHooks) {
            if (std::find(made.begin(), made.end(), kMadeBy.at(step)) != made.end()) expected.push_back(step);
        }
        EXPECT_EQ(fakes.log, expected);

        sys::InstanceLock probe;
        EXPECT_EQ(probe.Acquire(LockPath()), sys::InstanceLock::Result::kAcquired) << "the lock was kept";
    }
    engine::ClearEngineHooks();
    Engine* made = CreateEngine(WindowedRecord());
    EXPECT_NE(made, nullptr);
}

TEST_F(EngineRoot, PurgeFreesOneGroupMaterialsThenModelsThenTextures) {
    fakes.Install();
    Engine* made = CreateEngine(WindowedRecord());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->SetResourceGroup(3), 0);
    EXPECT_EQ(made->SetResourceGroup(1), 3);
    EXPECT_EQ(made->GetResourceGroup(), 1);

    fakes.textures = {{1, "t1"}, {2, "t2"}, {1, "t1b"}};
    fakes.materials = {{1, "m1"}, {2, "m2"}};
    fakes.models = {{2, "o2"}, {1, "o1"}};
    fakes.log.clear();
    engine::PurgeResourceGroup(1);
    EXPECT_EQ(fakes.log, (Log{"materials.purge 1", "materials.free m1", "models.purge 1", "models.free o1",
                              "textures.purge 1", "textures.free t1", "textures.free t1b"}));

    fakes.log.clear();
    engine::PurgeResourceGroup(7);
    EXPECT_EQ(fakes.log, (Log{"materials.purge 7", "models.purge 7", "textures.purge 7"}));
    EXPECT_EQ(fakes.textures.size() + fakes.materials.size() + fakes.models.size(), 3u);

    fakes.log.clear();
    engine::PurgeResourceGroup(-1);
    EXPECT_EQ(fakes.log, (Log{"materials.purge -1", "materials.free m2", "models.purge -1", "models.free o2",
                              "textures.purge -1", "textures.free t2", "device.releaseDynamicVertexBuffers"}));
}

TEST_F(EngineRoot, MainRenderTargetIsMadeOnce) {
    fakes.Install();
    Engine* made = CreateEngine(WindowedRecord());
    ASSERT_NE(made, nullptr);
    fakes.log.clear();
    engine::RenderTarget* target = made->GetMainRenderTarget();
    EXPECT_NE(target, nullptr);
    EXPECT_EQ(made->GetMainRenderTarget(), target);
    EXPECT_EQ(fakes.log, (Log{"renderTargets.create Main RT 960x640 kind 2"}));
}

TEST_F(EngineRoot, AudioHooksMakeTheVoiceSchedulerForTheEnginesLife) {
    engine::InstallAudioDeviceHooks();
    Engine* made = CreateEngine(WindowedRecord());
    ASSERT_NE(made, nullptr);
    EXPECT_NE(engine::GetVoiceScheduler(), nullptr);
    EXPECT_EQ(made->FrameStep(), 1);
    delete made;
    EXPECT_EQ(engine::GetVoiceScheduler(), nullptr);
}

TEST(EnginePlatform, MaxBonesPerBatchByPlatformId) {
    const int expected[10] = {40, 40, 8, 10, 40, 9, 9, 40, 9, 0};
    WindowsEngine bare;
    EXPECT_EQ(bare.GetPlatform(), 1);
    for (int id = 0; id < 10; ++id) {
        bare.SetPlatformId(id);
        EXPECT_EQ(bare.GetMaxBonesPerBatch(), expected[id]) << "platform " << id;
    }
}

}  // namespace
