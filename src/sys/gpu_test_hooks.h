#pragma once
// Test hooks of the graphics layer: what a test cannot make the driver do. GL never loses a device and an
// offscreen window has one display mode, so tests replace the mode list and the depth-format answers, make
// the next creation of an object fail, put the device into the lost or not-reset state and keep a copy of
// the presented picture. Process-wide; a test resets them when it ends.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "sys/gpu_types.h"

namespace sys {

enum class GpuCreateKind : int {
    Adapter,
    Device,
    Texture,
    CubeTexture,
    RenderTarget,
    DepthStencil,
    VertexBuffer,
    IndexBuffer,
    VertexDeclaration,
    VertexShader,
    PixelShader,
    Count,
};

enum class GpuLossState {
    None,
    Lost,      // TestCooperativeLevel, Reset and Present report device lost until the hook is cleared
    NotReset,  // TestCooperativeLevel and Present report not reset until the next Reset
};

struct GpuTestHooks {
    // Replaces the adapter's display modes (all formats) when set.
    std::optional<std::vector<GpuDisplayMode>> displayModes;
    // Replaces the adapter's desktop mode when set.
    std::optional<GpuDisplayMode> desktopMode;
    // GetAdapterDisplayMode fails.
    bool desktopModeFails = false;
    // How often the adapter's mode list was read (mode counts and enumeration).
    int modeListReads = 0;
    // Answers the depth-format checks when set (CheckDeviceFormat and CheckDepthStencilMatch alike).
    std::function<bool(GpuFormat)> depthFormatAccepted;
    // How many of the next creations of each kind fail.
    int failCreations[static_cast<int>(GpuCreateKind::Count)] = {};
    GpuLossState loss = GpuLossState::None;
    // Present keeps the picture it sends to the window: RGBA rows, the window's top row first.
    bool keepPresentedImage = false;
    std::vector<std::uint8_t> presentedImage;
    int presentedWidth = 0;
    int presentedHeight = 0;

    // Draw calls do all their preparation (framebuffer, program, constants, vertex attributes) and are counted,
    // but are not sent to the driver; clears, copies between surfaces and the present's copy to the window are
    // skipped too. Benchmarks measure the layer's own work without the rasteriser's, and the program's walks
    // run most frames without their pixels.
    bool recordDrawsOnly = false;

    void FailNext(GpuCreateKind kind, int count = 1) { failCreations[static_cast<int>(kind)] = count; }
    // True (and one failure used up) when this creation is to fail.
    bool TakeFailure(GpuCreateKind kind);
};

GpuTestHooks& GpuHooks();
// Back to no hooks at all.
void ResetGpuHooks();

}  // namespace sys
