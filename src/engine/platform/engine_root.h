#pragma once
// The engine root object: the one object that owns every engine service (timer, archives, save storage,
// window, input, language, and through the installed hooks the graphics device, shaders, resource tables,
// GUI and sound). CreateEngine builds it from the start-up record in a fixed order; deleting it tears the
// services down in another fixed order. It also keeps the current resource group, the tag every texture,
// material and model is stamped with when it is made, so that one call frees everything of a level.
//
// Engine is the abstract base; WindowsEngine (windows_engine.h) is the one concrete class. There is at most
// one engine per process, reached through GetEngine().
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/int_rect.h"
#include "engine/platform/startup_params.h"

namespace engine {

class ArchiveSet;
class FrameTimer;
class InputDevice;
class InputDeviceList;
class LanguageInfo;
class NamedSaveBlob;
class RenderTarget;
class SaveStore;
class WideString;

class Engine {
public:
    static constexpr int kFrameCounterCount = 8;
    static constexpr int kDefaultTableSize = 1024;

    Engine();
    // Runs EngineShutdown (when a derived destructor has not yet done so).
    virtual ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Ends a pass of the main loop: window events, present, timer, then sound, input and GUI. Each dirty
    // rectangle is x, y, width, height; they are accepted and the whole frame is presented. 1 when a frame
    // was presented, 0 when the device is lost.
    virtual int FrameStep(const IntRect* rects = nullptr, int count = 0) = 0;
    virtual void ToggleFullScreen() = 0;
    virtual int GetPlatform() const = 0;
    virtual int GetMaxBonesPerBatch() const = 0;
    virtual bool IsActive() const { return true; }
    // The mouse-wheel steps since the last call.
    virtual int TakeMouseWheel() { return 0; }
    virtual void SetMouseCapture(bool /*capture*/) {}
    virtual bool CreateMainWindow() { return true; }
    virtual bool IsFullScreen() const { return false; }

    // Sets the group stamped on resources made from now on; returns the previous one.
    int SetResourceGroup(int group);
    int GetResourceGroup() const { return resourceGroup_; }
    // Frees every material, model and texture of the group, in that order; -1 frees all of them and also
    // releases the dynamic vertex buffers. Tables that were never made are skipped.
    void PurgeResources(int group);

    // The debug switch that makes box nodes pickable (0 by default).
    int GetBoxPicking() const { return boxPicking_; }
    void SetBoxPicking(int on) { boxPicking_ = on; }
    // The debug switch that makes the render queue draw box nodes (0 by default).
    int GetBoxDisplay() const { return boxDisplay_; }
    void SetBoxDisplay(int on) { boxDisplay_ = on; }

    // The render target "Main RT" at the back buffer's size, made on the first call that can make it.
    RenderTarget* GetMainRenderTarget();

    // Written by the graphics device when the back buffer is made or reset.
    virtual void SetBackBufferSize(int width, int height);
    int GetBackBufferWidth() const { return backBufferWidth_; }
    int GetBackBufferHeight() const { return backBufferHeight_; }

    FrameTimer* GetTimer() const { return timer_.get(); }
    LanguageInfo* GetLanguage() const { return language_.get(); }
    ArchiveSet* GetArchiveSet() const { return archives_.get(); }
    InputDeviceList* GetInputDevices() const { return inputDevices_.get(); }
    SaveStore* GetSaveStore() const { return saveStore_.get(); }
    NamedSaveBlob* GetSaveBlob() const { return saveBlob_.get(); }
    // The device at the index, null when there is none.
    InputDevice* GetInputDevice(int index) const;

    // Frames presented so far.
    std::uint32_t GetPresentedFrameCount() const { return presentedFrames_; }
    // The per-frame statistics counters, cleared at the end of every frame step.
    std::array<std::uint32_t, kFrameCounterCount>& FrameCounters() { return frameCounters_; }

protected:
    // What creation has made, so that shutdown (also after a failed creation) tears down exactly that.
    struct Made {
        bool stringPool = false;
        bool randomStreams = false;
        bool textWorkString = false;
        bool shaders = false;
        bool device = false;
        bool dynamicBuffers = false;
        bool renderTargets = false;
        bool textures = false;
        bool materialLibrary = false;
        bool models = false;
        bool materialManager = false;
        bool audio = false;
        bool overlay = false;
        bool gui = false;
    };

    // EngineShutdown's steps 1 to 8, once; the engine pointer is cleared by ~Engine.
    void ShutdownServices();

    Made made_;
    int resourceGroup_ = 0;
    int boxPicking_ = 0;
    int boxDisplay_ = 0;
    int backBufferWidth_ = 0;
    int backBufferHeight_ = 0;
    std::uint32_t presentedFrames_ = 0;
    RenderTarget* mainRenderTarget_ = nullptr;
    std::unique_ptr<FrameTimer> timer_;
    std::unique_ptr<InputDeviceList> inputDevices_;
    std::unique_ptr<ArchiveSet> archives_;
    std::unique_ptr<LanguageInfo> language_;
    std::unique_ptr<SaveStore> saveStore_;
    std::unique_ptr<NamedSaveBlob> saveBlob_;
    std::array<std::uint32_t, kFrameCounterCount> frameCounters_{};

private:
    bool shutDown_ = false;

    friend Engine* CreateEngine(const StartupParams& params);
};

// Builds the engine from the record (copied whole), or returns the engine that exists without changing
// anything. Null when the window cannot be made (another copy of the program is running) or a service
// fails; everything made so far is then torn down and no engine exists.
Engine* CreateEngine(const StartupParams& params);

// Why the last CreateEngine returned null.
enum class CreateEngineFailure {
    kNone,             // the last call made an engine (or none was made yet)
    kInstanceLocked,   // another copy of the program holds the instance lock
    kWindow,           // the window or its GL context could not be made
    kService,          // a service of the engine failed to start
};
CreateEngineFailure GetCreateEngineFailure();
// What the window layer said when the window could not be made; empty otherwise.
const std::string& GetCreateEngineFailureDetail();
// The engine, or null before CreateEngine and after it was deleted.
Engine* GetEngine();
// PurgeResources on the engine; nothing without one.
void PurgeResourceGroup(int group);

// The shared 4096-character work string of text wrapping; empty, with its buffer, while an engine exists.
WideString& GetTextWorkString();

}  // namespace engine
