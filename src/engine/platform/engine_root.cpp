#include "engine/platform/engine_root.h"

#include "engine/core/frame_timer.h"
#include "engine/core/language_info.h"
#include "engine/core/random_streams.h"
#include "engine/core/string_pool.h"
#include "engine/core/wide_string.h"
#include "engine/platform/archive_set.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/engine_hooks.h"
#include "engine/platform/input_device_list.h"
#include "engine/platform/save_blob.h"
#include "engine/platform/save_store.h"
#include "engine/platform/windows_engine.h"

namespace engine {
namespace {

Engine* g_engine = nullptr;
CreateEngineFailure g_failure = CreateEngineFailure::kNone;

std::string& FailureDetail() {
    static std::string detail;
    return detail;
}

StartupParams& ParamsCopy() {
    static StartupParams params;
    return params;
}

// Lets short wide strings take pool blocks from now on, at the record's capacity. A pool closed by an
// earlier engine's shutdown gets its memory back when none of its blocks is still in use.
bool OpenStringPool(int blocks) {
    AllowStringPool(blocks > 0 ? static_cast<std::size_t>(blocks) : 0);
    StringPool* pool = StringPool::EnsureGlobal();
    if (pool != nullptr && !pool->HasMemory()) pool->Init(pool->Capacity());
    return pool != nullptr;
}

}  // namespace

const StartupParams& GetStartupParams() { return ParamsCopy(); }

Engine* GetEngine() { return g_engine; }

Engine* CreateEngine(const StartupParams& params) {
    if (g_engine != nullptr) return g_engine;
    g_failure = CreateEngineFailure::kNone;
    FailureDetail().clear();
    ParamsCopy() = params;
    const bool pool = OpenStringPool(params.stringPoolSize);
    auto* engine = new WindowsEngine();
    g_engine = engine;
    engine->made_.stringPool = pool;
    if (!engine->CreateServices()) {
        g_failure = engine->windowFailure_;
        if (g_failure == CreateEngineFailure::kNone) g_failure = CreateEngineFailure::kService;
        if (g_failure == CreateEngineFailure::kWindow) FailureDetail() = engine->window_.LastError();
        delete engine;
        return nullptr;
    }
    return engine;
}

CreateEngineFailure GetCreateEngineFailure() { return g_failure; }

const std::string& GetCreateEngineFailureDetail() { return FailureDetail(); }

void PurgeResourceGroup(int group) {
    if (g_engine != nullptr) g_engine->PurgeResources(group);
}

WideString& GetTextWorkString() {
    static WideString text;
    return text;
}

Engine::Engine() = default;

Engine::~Engine() {
    ShutdownServices();
    if (g_engine == this) g_engine = nullptr;
}

int Engine::SetResourceGroup(int group) {
    const int previous = resourceGroup_;
    resourceGroup_ = group;
    return previous;
}

void Engine::PurgeResources(int group) {
    const EngineHooks& hooks = GetEngineHooks();
    if (made_.materialLibrary) CallHook(hooks.materials.purge, group);
    if (made_.models) CallHook(hooks.models.purge, group);
    if (made_.textures) CallHook(hooks.textures.purge, group);
    if (group == -1 && made_.dynamicBuffers) CallHook(hooks.device.releaseDynamicVertexBuffers);
}

RenderTarget* Engine::GetMainRenderTarget() {
    const auto& create = GetEngineHooks().renderTargets.create;
    if (mainRenderTarget_ == nullptr && create) {
        mainRenderTarget_ = create("Main RT", backBufferWidth_, backBufferHeight_, 2);
    }
    return mainRenderTarget_;
}

void Engine::SetBackBufferSize(int width, int height) {
    backBufferWidth_ = width;
    backBufferHeight_ = height;
}

InputDevice* Engine::GetInputDevice(int index) const {
    return inputDevices_ != nullptr ? inputDevices_->Get(index) : nullptr;
}

void Engine::ShutdownServices() {
    if (shutDown_) return;
    shutDown_ = true;
    const EngineHooks& hooks = GetEngineHooks();
    // 1-2: the timer's flag, then every resource of every group.
    if (timer_ != nullptr) timer_->ClearFlag();
    PurgeResources(-1);
    // 3: the resource tables and the mesh code's scratch buffers.
    if (made_.textures) CallHook(hooks.textures.freeTable);
    if (made_.materialLibrary) CallHook(hooks.materials.freeTable);
    if (made_.models) {
        CallHook(hooks.models.freeTable);
        CallHook(hooks.models.freeStaticBuffers);
    }
    // 4: render targets (the main one among them), the shared dynamic vertex buffer, GUI navigation keys.
    if (made_.renderTargets) CallHook(hooks.renderTargets.deleteAll);
    mainRenderTarget_ = nullptr;
    if (made_.dynamicBuffers) CallHook(hooks.device.deleteDynamicVertexBuffer);
    if (made_.gui) CallHook(hooks.gui.freeNavigationKeys);
    // 5: material manager, shaders, vertex declarations, input, sound, the save-data blob, archives.
    if (made_.materialManager) CallHook(hooks.materials.deleteManager);
    if (made_.shaders) CallHook(hooks.shaders.destroy);
    if (made_.device) CallHook(hooks.device.deleteVertexDecls);
    inputDevices_.reset();
    if (made_.audio) CallHook(hooks.audio.destroy);
    saveBlob_.reset();
    if (archives_ != nullptr && GetActiveArchiveSet() == archives_.get()) SetActiveArchiveSet(nullptr);
    archives_.reset();
    // 6: the overlay and the random streams.
    if (made_.overlay) CallHook(hooks.overlay.clear);
    if (made_.randomStreams) RandomStreams::Destroy();
    // 7: language, timer, device, save storage.
    language_.reset();
    timer_.reset();
    if (made_.device) CallHook(hooks.device.deleteDevice);
    saveStore_.reset();
    // 8: the string pool's memory (freed once its last block is back) and the text work string.
    if (made_.textWorkString) GetTextWorkString().Clear();
    if (made_.stringPool && StringPool::Global() != nullptr) StringPool::Global()->Shutdown();
    made_ = Made{};
}

}  // namespace engine
