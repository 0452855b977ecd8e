#pragma once
// The engine root's calls into services that live in other libraries (the graphics device, render targets,
// shaders, resource tables, the GUI, sound). Each library installs its hooks before CreateEngine; a hook
// left empty does nothing, and an empty creating hook counts as success. A creating hook returns whether it
// succeeded; when one fails, CreateEngine tears down what was made and fails.
#include <chrono>
#include <cstdint>
#include <functional>
#include <utility>

namespace engine {

class Engine;
class WindowsEngine;
class RenderTarget;

// Results a device may report after presenting.
constexpr std::uint32_t kDeviceLost = 0x88760868;
constexpr std::uint32_t kDeviceNotReset = 0x88760869;

struct DeviceHooks {
    // Makes the graphics device, then the vertex declarations. It sets the back-buffer size and sends the
    // first resize-and-centre request to the window.
    std::function<bool(WindowsEngine&)> create;
    // Makes the dynamic vertex buffers.
    std::function<bool()> initDynamicVertexBuffers;
    // Whether the device is lost, and the attempt to get it back (true when it works again).
    std::function<bool()> isLost;
    std::function<bool()> recoverLostDevice;
    std::function<void()> endScene;
    std::function<void()> beginScene;
    // Presents the device's back buffer to the window and returns the result: 0, kDeviceLost or
    // kDeviceNotReset. Without it the window presents its own back buffer and presentResult gives the result.
    std::function<std::uint32_t()> present;
    // The device's result for the frame just presented: 0, kDeviceLost or kDeviceNotReset.
    std::function<std::uint32_t()> presentResult;
    // The windowed window was resized from outside; its drawable size now.
    std::function<void(int drawableWidth, int drawableHeight)> windowSizeChanged;
    // Applies a display mode after a switch: full screen at the desktop's size, or windowed at the start-up
    // record's size. Sets the back-buffer size.
    std::function<void(bool fullScreen, int width, int height)> setDisplayMode;
    // Releases every dynamic vertex buffer (purge of all groups).
    std::function<void()> releaseDynamicVertexBuffers;
    // Shutdown: the shared dynamic vertex buffer, the vertex declarations, the device.
    std::function<void()> deleteDynamicVertexBuffer;
    std::function<void()> deleteVertexDecls;
    std::function<void()> deleteDevice;
};

struct RenderTargetHooks {
    // Empties the registry of render targets.
    std::function<void()> clearRegistry;
    // Draws the main render target over the back buffer.
    std::function<void(WindowsEngine&)> drawMainIntoBackBuffer;
    // Makes a named render target of a size and kind; null on failure.
    std::function<RenderTarget*(const char* name, int width, int height, int kind)> create;
    // Deletes every render target still registered.
    std::function<void()> deleteAll;
};

struct OverlayHooks {
    std::function<void()> clear;
};

struct ShaderHooks {
    // Makes the shader constant cache, then the shader text buffer.
    std::function<bool()> create;
    // Deletes the constant cache, then the text buffer.
    std::function<void()> destroy;
};

// The resource tables: each resource carries the group that was current when it was made.
struct TextureHooks {
    std::function<bool(int tableSize)> init;
    // Frees every texture of the group (-1: all).
    std::function<void(int group)> purge;
    std::function<void()> freeTable;
};

struct MaterialHooks {
    std::function<bool(int tableSize)> initLibrary;
    // Makes the material manager and its nine shader sets.
    std::function<bool()> createManager;
    std::function<void(int group)> purge;
    std::function<void()> freeTable;
    std::function<void()> deleteManager;
};

struct ModelHooks {
    std::function<bool(int tableSize)> init;
    std::function<bool()> createCollisionAssets;
    std::function<void(int group)> purge;
    std::function<void()> freeTable;
    // Frees the mesh code's scratch buffers.
    std::function<void()> freeStaticBuffers;
    // Clears the count of octree nodes visited this frame.
    std::function<void()> clearFrameCounters;
};

struct GuiHooks {
    std::function<bool()> init;
    std::function<void()> update;
    // Frees the six navigation-key lists.
    std::function<void()> freeNavigationKeys;
};

struct AudioHooks {
    std::function<bool()> create;
    // Runs the voice scheduler once per presented frame.
    std::function<void()> update;
    std::function<void()> destroy;
};

// The monotonic clock the engine's timer reads; empty in the game (the steady clock). A test driving the whole
// program sets one that moves a fixed step per frame, so that a run repeats.
using ClockHook = std::function<std::chrono::nanoseconds()>;

struct EngineHooks {
    ClockHook clock;
    DeviceHooks device;
    RenderTargetHooks renderTargets;
    OverlayHooks overlay;
    ShaderHooks shaders;
    TextureHooks textures;
    MaterialHooks materials;
    ModelHooks models;
    GuiHooks gui;
    AudioHooks audio;
};

const EngineHooks& GetEngineHooks();

void InstallDeviceHooks(DeviceHooks hooks);
void InstallRenderTargetHooks(RenderTargetHooks hooks);
void InstallOverlayHooks(OverlayHooks hooks);
void InstallShaderHooks(ShaderHooks hooks);
void InstallTextureHooks(TextureHooks hooks);
void InstallMaterialHooks(MaterialHooks hooks);
void InstallModelHooks(ModelHooks hooks);
void InstallGuiHooks(GuiHooks hooks);
void InstallAudioHooks(AudioHooks hooks);
void InstallClockHook(ClockHook clock);
// Every hook empty again.
void ClearEngineHooks();

// Calls a hook when it is installed.
template <typename Hook, typename... Args>
void CallHook(const Hook& hook, Args&&... args) {
    if (hook) hook(std::forward<Args>(args)...);
}

// Calls a creating hook; an empty one succeeds.
template <typename Hook, typename... Args>
bool CallCreateHook(const Hook& hook, Args&&... args) {
    return !hook || hook(std::forward<Args>(args)...);
}

}  // namespace engine
