// CreateEngine's steps once the engine object exists, and the making of its window.
#include "engine/core/frame_timer.h"
#include "engine/core/language_info.h"
#include "engine/core/random_streams.h"
#include "engine/core/wide_string.h"
#include "engine/platform/archive_set.h"
#include "engine/platform/data_folders.h"
#include "engine/platform/engine_hooks.h"
#include "engine/platform/input_device_list.h"
#include "engine/platform/mount_archives.h"
#include "engine/platform/save_blob.h"
#include "engine/platform/save_store.h"
#include "engine/platform/windows_engine.h"
#include "engine/platform/windows_input_device.h"

namespace engine {
namespace {

constexpr std::size_t kTextWorkCharacters = 4096;
constexpr const char* kLockFileName = "instance.lock";

int TableSize(int recorded) { return recorded > 0 ? recorded : Engine::kDefaultTableSize; }

}  // namespace

bool WindowsEngine::CreateServices() {
    const StartupParams& params = GetStartupParams();
    const EngineHooks& hooks = GetEngineHooks();

    timer_ = std::make_unique<FrameTimer>(params.clock);
    RandomStreams::Create(*timer_);
    made_.randomStreams = true;
    archives_ = std::make_unique<ArchiveSet>();
    SetActiveArchiveSet(archives_.get());
    SetBaseFolderToExe();
    made_.textWorkString = GetTextWorkString().AllocHeapBuffer(kTextWorkCharacters);
    saveStore_ = std::make_unique<SaveStore>();
    // The lock file lives in the user folder; without one the program starts without the one-copy check.
    userFolder_ = saveStore_->InitUserFolder() ? saveStore_->Folder() : std::string();

    if (!CreateMainWindow()) return false;

    if (!(made_.shaders = CallCreateHook(hooks.shaders.create))) return false;
    if (hooks.device.create) {
        if (!(made_.device = hooks.device.create(*this))) return false;
    } else {
        // Without a graphics device the engine sizes the back buffer and shows the window itself.
        made_.device = true;
        const bool external = window_.IsAdopted();
        int width = params.width;
        int height = params.height;
        if (fullScreen_) {
            width = sys::GetDesktopWidth();
            height = sys::GetDesktopHeight();
        } else if (external || width <= 0 || height <= 0) {
            window_.GetClientSize(width, height);
        }
        SetBackBufferSize(width, height);
        if (!external) RequestResizeAndCentre(width, height);
    }

    inputDevices_ = std::make_unique<InputDeviceList>(std::make_unique<WindowsInputDevice>(*this, 0));
    saveBlob_ = std::make_unique<NamedSaveBlob>(*saveStore_);
    GetInputDevice(0)->CentreMouse();
    language_ = std::make_unique<LanguageInfo>();
    SetThousandsSeparator(language_->GetThousandsSeparator()[0] == u'.' ? "." : ",");

    if (!(made_.dynamicBuffers = CallCreateHook(hooks.device.initDynamicVertexBuffers))) return false;
    CallHook(hooks.renderTargets.clearRegistry);
    made_.renderTargets = true;

    if (!(made_.textures = CallCreateHook(hooks.textures.init, TableSize(params.textureTableSize)))) return false;
    made_.materialLibrary = CallCreateHook(hooks.materials.initLibrary, TableSize(params.materialTableSize));
    if (!made_.materialLibrary) return false;
    if (!(made_.models = CallCreateHook(hooks.models.init, TableSize(params.modelTableSize)))) return false;
    if (!(made_.materialManager = CallCreateHook(hooks.materials.createManager))) return false;
    if (!(made_.audio = CallCreateHook(hooks.audio.create))) return false;

    MountArchives(*archives_);

    CallHook(hooks.overlay.clear);
    made_.overlay = true;
    if (!(made_.gui = CallCreateHook(hooks.gui.init))) return false;
    return CallCreateHook(hooks.models.createCollisionAssets);
}

bool WindowsEngine::CreateMainWindow() {
    const StartupParams& params = GetStartupParams();
    if (params.externalWindow != nullptr) {
        if (!window_.Adopt(params.externalWindow)) {
            windowFailure_ = CreateEngineFailure::kWindow;
            return false;
        }
        active_ = true;
        return true;
    }
    // One running copy: the lock file in the user folder.
    if (!userFolder_.empty() &&
        lock_.Acquire(userFolder_ + "/" + kLockFileName) == sys::InstanceLock::Result::kHeldElsewhere) {
        windowFailure_ = CreateEngineFailure::kInstanceLocked;
        return false;
    }
    fullScreen_ = params.windowed == 0;
    sys::AppWindowDesc desc;
    desc.title = params.title;
    desc.width = params.width;
    desc.height = params.height;
    desc.fullScreen = fullScreen_;
    desc.captioned = params.captioned != 0;
    desc.icon = params.bigIcon.IsValid() ? params.bigIcon : params.smallIcon;
    if (!window_.Create(desc)) {
        lock_.Release();
        windowFailure_ = CreateEngineFailure::kWindow;
        return false;
    }
    active_ = window_.HasInputFocus();
    return true;
}

}  // namespace engine
